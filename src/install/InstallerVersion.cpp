#include "install/InstallerVersion.h"

#include <cstdint>
#include <cstring>
#include <span>

#include "base/Resources.h"

namespace install {

using base::ResourceBytes;

namespace {

constexpr DWORD kFixedFileInfoSignature = 0xFEEF04BD;

} // namespace

std::wstring InstallerVersion(HMODULE module) {
    const std::span<const std::uint8_t> version =
        ResourceBytes(module, MAKEINTRESOURCEW(1), RT_VERSION);
    for (std::size_t offset = 0; offset + sizeof(VS_FIXEDFILEINFO) <= version.size(); offset += 4) {
        VS_FIXEDFILEINFO fixed{};
        std::memcpy(&fixed, version.data() + offset, sizeof(fixed));
        if (fixed.dwSignature == kFixedFileInfoSignature) {
            return std::to_wstring(HIWORD(fixed.dwFileVersionMS)) + L"." +
                   std::to_wstring(LOWORD(fixed.dwFileVersionMS)) + L"." +
                   std::to_wstring(HIWORD(fixed.dwFileVersionLS)) + L"." +
                   std::to_wstring(LOWORD(fixed.dwFileVersionLS));
        }
    }
    return L"?";
}

} // namespace install
