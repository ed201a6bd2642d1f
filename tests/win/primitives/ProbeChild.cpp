// A child program for the process tests. It writes, in UTF-8, its current
// directory and its whole command line to "<its own path>.out.txt", then
// exits with the code given as "/exit:N" (0 without one). With "/hold:NAME"
// it first waits until the test sets the event NAME (30 s at most).
#include <cwchar>
#include <string>
#include <windows.h>

namespace {

std::string Utf8(const std::wstring& text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                        length, nullptr, nullptr);
    return bytes;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    wchar_t self[32768] = {};
    GetModuleFileNameW(nullptr, self, 32768);
    wchar_t cwd[32768] = {};
    GetCurrentDirectoryW(32768, cwd);
    const std::string report = "cwd=" + Utf8(cwd) + "\ncmd=" + Utf8(GetCommandLineW()) + "\n";
    HANDLE out = CreateFileW((std::wstring(self) + L".out.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(out, report.data(), static_cast<DWORD>(report.size()), &written, nullptr);
    CloseHandle(out);
    for (int i = 1; i < argc; ++i) {
        if (std::wcsncmp(argv[i], L"/hold:", 6) == 0) {
            if (const HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, argv[i] + 6)) {
                WaitForSingleObject(event, 30000);
                CloseHandle(event);
            }
        }
    }
    for (int i = 1; i < argc; ++i) {
        if (std::wcsncmp(argv[i], L"/exit:", 6) == 0) {
            return static_cast<int>(std::wcstol(argv[i] + 6, nullptr, 10));
        }
    }
    return 0;
}
