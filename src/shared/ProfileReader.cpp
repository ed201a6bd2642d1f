#include "shared/ProfileReader.h"

#include <array>
#include <windows.h>

#include "shared/portable/SettingsValues.h"

namespace shared {

std::wstring ReadProfileString(const std::wstring& file, const std::wstring& section,
                               const std::wstring& key, const std::wstring& defaultText) {
    std::array<wchar_t, kProfileStringCapacity> buffer{};
    const DWORD length =
        GetPrivateProfileStringW(section.c_str(), key.c_str(), defaultText.c_str(), buffer.data(),
                                 static_cast<DWORD>(buffer.size()), file.c_str());
    return std::wstring(buffer.data(), length < buffer.size() ? length : buffer.size() - 1);
}

} // namespace shared
