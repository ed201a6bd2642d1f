#pragma once
// The shared procedures of the suite, as the suite's modules include them:
// one header per job below.
#include "shared/MessageCatalogue.h"
#include "shared/ResString.h"
#include "shared/ScreenFonts.h"
#include "shared/ShellCopyDir.h"
#include "shared/Shutdown.h"
#include "shared/WindowsDir.h"
