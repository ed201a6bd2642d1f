#include "system/FontRegistry.h"

#include <windows.h>

#include "base/Handles.h"
#include "base/SysError.h"

namespace sys {

using base::RaiseCannotOpenRegistryKey;
using base::RaiseCannotWriteRegistryValue;
using base::UniqueRegKey;

namespace {

constexpr wchar_t kFontsKey[] = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

class HklmFontRegistry final : public IFontRegistry {
  public:
    void SetFontValue(const std::wstring& name, const std::wstring& fileName) override {
        UniqueRegKey key;
        const LSTATUS opened =
            RegOpenKeyExW(HKEY_LOCAL_MACHINE, kFontsKey, 0, KEY_ALL_ACCESS, key.put());
        if (opened != ERROR_SUCCESS) {
            RaiseCannotOpenRegistryKey(L"HKEY_LOCAL_MACHINE\\" + std::wstring(kFontsKey), opened);
        }
        const auto dataBytes = static_cast<DWORD>((fileName.size() + 1) * sizeof(wchar_t));
        const LSTATUS written =
            RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(fileName.c_str()), dataBytes);
        if (written != ERROR_SUCCESS) {
            RaiseCannotWriteRegistryValue(name, written);
        }
        RegFlushKey(key.get());
    }
};

HklmFontRegistry machineRegistry;
IFontRegistry* currentRegistry = &machineRegistry;

} // namespace

IFontRegistry& CurrentFontRegistry() {
    return *currentRegistry;
}

ScopedFontRegistry::ScopedFontRegistry(IFontRegistry& registry)
    : ScopedReplacement(currentRegistry, registry) {}

} // namespace sys
