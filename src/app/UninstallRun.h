#pragma once
// /UNINSTALL: the suite removed from an installation, with one question when
// a person started it and none with /SILENT or /VERYSILENT. Exit codes:
//   0 everything the installations placed is gone
//   1 the command line is wrong, or names no installation
//   2 something could not be removed (the log names it), or nothing was
//     removed (no record of the installed files, or "No" to the question)
#include <string>

#include "app/portable/Switches.h"

namespace shared {
class IUserDialogs;
}

namespace app {

// `dialogs` asks the question of an interactive uninstall.
int UninstallSuite(const TSwitches& switches, shared::IUserDialogs& dialogs);

// The hidden helper that deletes an ended uninstaller's file.
int RemoveUninstallerAfterExit(const TRemovalRequest& request);

} // namespace app
