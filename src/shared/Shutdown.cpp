#include "shared/Shutdown.h"

#include "base/Handles.h"

using base::UniqueHandle;

namespace shared {

namespace {

// Enables the shutdown privilege in the process's own token; silent when
// the token or the privilege cannot be had.
void EnableShutdownPrivilege() {
    UniqueHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY,
                          token.put())) {
        return;
    }
    LUID shutdownLuid{};
    if (!LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &shutdownLuid)) {
        return;
    }
    TOKEN_PRIVILEGES enable{};
    enable.PrivilegeCount = 1;
    enable.Privileges[0].Luid = shutdownLuid;
    enable.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    TOKEN_PRIVILEGES previous{};
    DWORD previousLength = 0;
    AdjustTokenPrivileges(token.get(), FALSE, &enable, sizeof(previous), &previous,
                          &previousLength);
}

} // namespace

bool ShutdownWindows(UINT exitFlags) {
    // Every Windows the installer runs on is of the NT family, where the
    // restart needs the shutdown privilege enabled in the token.
    EnableShutdownPrivilege();
    return ExitWindowsEx(exitFlags, 0) != FALSE;
}

} // namespace shared
