// Stand-in for the interface-block driver installer of the demo medium.
// It installs nothing: it leaves "driver-installed.txt" in its own directory,
// saying from where and in which directory it ran, and exits with 0.
#include <string>
#include <windows.h>

#include "common/TestFiles.h"

namespace {

std::wstring OwnPath() {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const std::wstring self = OwnPath();
    const std::wstring marker = testfiles::OwnDirectory() + L"driver-installed.txt";
    const std::string report =
        "FTDIDriverInstall stand-in ran\r\nprogram=" + testfiles::Utf8(self) +
        "\r\ncwd=" + testfiles::Utf8(testfiles::CurrentDirectory()) + "\r\n";
    testfiles::WriteBytes(marker, report);
    return 0;
}
