#include "app/ConsoleText.h"

#include <windows.h>

#include "install/portable/InstallLogText.h"

using install::ToUtf8;
using install::WithCrLf;

namespace app {

namespace {

bool Usable(HANDLE handle) {
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

// The standard error, or the console of the process that started us.
HANDLE ErrorOutput() {
    static HANDLE output = [] {
        HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
        if (Usable(handle)) {
            return handle;
        }
        if (!AttachConsole(ATTACH_PARENT_PROCESS)) {
            return INVALID_HANDLE_VALUE;
        }
        // Lives as long as the process: the console is its starter's.
        return CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    }();
    return output;
}

} // namespace

bool WriteConsoleText(const std::wstring& text) {
    const HANDLE output = ErrorOutput();
    if (!Usable(output)) {
        return false;
    }
    const std::wstring line = WithCrLf(text) + L"\r\n";
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(output, &mode)) {
        return WriteConsoleW(output, line.data(), static_cast<DWORD>(line.size()), &written,
                             nullptr) != 0;
    }
    const std::string bytes = ToUtf8(line);
    return WriteFile(output, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) !=
           0;
}

} // namespace app
