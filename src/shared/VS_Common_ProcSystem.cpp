// The shared procedures that ask or change the system: the Windows
// directory, the display's font size and the restart.
#include <vector>

#include "shared/VS_Common_Proc.h"
#include "base/Handles.h"
#include "base/portable/PathText.h"

using base::JoinPath;
using base::UniqueHandle;
using base::WindowDc;

namespace shared {

namespace {

constexpr UINT kWindowsDirBufferLength = 260;
constexpr int kLargeFontsPixelsPerInch = 100;

// The Windows directory as GetWindowsDirectoryW gives it; a directory longer
// than the usual buffer is read again into one of the size it asks for.
std::wstring ReadWindowsDirectory() {
    std::vector<wchar_t> buffer(kWindowsDirBufferLength);
    for (int attempt = 0; attempt < 2; ++attempt) {
        const UINT length = GetWindowsDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            return std::wstring(buffer.data(), length);
        }
        buffer.resize(length); // `length` counts the terminator here
    }
    return {};
}

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

std::wstring GetWindowsDir() {
    return JoinPath(ReadWindowsDirectory(), L"");
}

int ScreenPixelsPerInch() {
    const WindowDc screen(nullptr);
    return screen.get() != nullptr ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 0;
}

bool IsSmallFontsAt(int pixelsPerInch) {
    return pixelsPerInch > 0 && pixelsPerInch < kLargeFontsPixelsPerInch;
}

bool IsSmallFonts() {
    return IsSmallFontsAt(ScreenPixelsPerInch());
}

bool ShutdownWindows(UINT exitFlags) {
    // Every Windows the installer runs on is of the NT family, where the
    // restart needs the shutdown privilege enabled in the token.
    EnableShutdownPrivilege();
    return ExitWindowsEx(exitFlags, 0) != FALSE;
}

} // namespace shared
