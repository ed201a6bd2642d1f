// Stand-in for the interface-block driver installer of the demo medium.
// It installs nothing: it leaves "driver-installed.txt" in its own directory,
// saying from where and in which directory it ran, and exits with 0.
#include <string>
#include <windows.h>

namespace {

constexpr DWORD kLongPath = 32768;

std::string Utf8(const std::wstring& text) {
    const int size = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, bytes.data(), length, nullptr, nullptr);
    return bytes;
}

std::wstring OwnPath() {
    std::wstring path(kLongPath, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), kLongPath));
    return path;
}

std::wstring CurrentDirectory() {
    std::wstring path(kLongPath, L'\0');
    path.resize(GetCurrentDirectoryW(kLongPath, path.data()));
    return path;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const std::wstring self = OwnPath();
    const std::wstring marker =
        self.substr(0, self.find_last_of(L'\\') + 1) + L"driver-installed.txt";
    const std::string report = "FTDIDriverInstall stand-in ran\r\nprogram=" + Utf8(self) +
                               "\r\ncwd=" + Utf8(CurrentDirectory()) + "\r\n";
    HANDLE file = CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, report.data(), static_cast<DWORD>(report.size()), &written, nullptr);
        CloseHandle(file);
    }
    return 0;
}
