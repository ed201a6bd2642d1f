#include "FontsDirectoryGuard.h"

#include "base/Handles.h"

using base::UniqueRegKey;

namespace {

constexpr wchar_t kFontsKey[] = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

UniqueRegKey OpenFontsKey() {
    UniqueRegKey key;
    RegOpenKeyExW(HKEY_LOCAL_MACHINE, kFontsKey, 0, KEY_ALL_ACCESS, key.put());
    return key;
}

} // namespace

RegistryValues ReadFontRegistrations() {
    RegistryValues values;
    const UniqueRegKey key = OpenFontsKey();
    for (DWORD index = 0;; ++index) {
        wchar_t name[16384];
        DWORD nameLength = ARRAYSIZE(name);
        BYTE data[4096];
        DWORD dataLength = sizeof(data);
        DWORD type = 0;
        if (RegEnumValueW(key.get(), index, name, &nameLength, nullptr, &type, data, &dataLength) !=
            ERROR_SUCCESS) {
            break;
        }
        values[std::wstring(name, nameLength)] = {type, {data, data + dataLength}};
    }
    return values;
}

FontsDirectoryGuard::FontsDirectoryGuard(std::wstring fontsDir, std::wstring scratch,
                                         std::vector<std::wstring> names)
    : fontsDir_(std::move(fontsDir)), scratch_(std::move(scratch)), names_(std::move(names)),
      registrations_(ReadFontRegistrations()) {
    for (const std::wstring& name : names_) {
        if (MoveFileW((fontsDir_ + name).c_str(), (scratch_ + name).c_str())) {
            movedAside_.push_back(name);
        }
    }
}

FontsDirectoryGuard::~FontsDirectoryGuard() {
    for (const std::wstring& name : names_) {
        DeleteFileW((fontsDir_ + name).c_str());
    }
    for (const std::wstring& name : movedAside_) {
        MoveFileW((scratch_ + name).c_str(), (fontsDir_ + name).c_str());
    }
    RestoreRegistry();
}

void FontsDirectoryGuard::RestoreRegistry() const {
    const UniqueRegKey key = OpenFontsKey();
    const RegistryValues now = ReadFontRegistrations();
    for (const auto& [name, value] : now) {
        if (registrations_.count(name) == 0) {
            RegDeleteValueW(key.get(), name.c_str());
        }
    }
    for (const auto& [name, value] : registrations_) {
        const auto current = now.find(name);
        if (current != now.end() && current->second == value) {
            continue;
        }
        RegSetValueExW(key.get(), name.c_str(), 0, value.type, value.data.data(),
                       static_cast<DWORD>(value.data.size()));
    }
    RegFlushKey(key.get());
}
