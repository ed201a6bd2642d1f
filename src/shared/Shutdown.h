#pragma once
// Ending the Windows session.
#include <windows.h>

namespace shared {

// Enables the shutdown privilege and calls ExitWindowsEx; true on success.
bool ShutdownWindows(UINT exitFlags);

} // namespace shared
