#include "app/LoadPngResource.h"

#include "app/portable/PngDecoder.h"
#include "base/AppError.h"

#include <cstdint>
#include <span>
#include <string>
#include <windows.h>

namespace {

// The name as written in the resource script; a numeric id as "#<id>".
std::wstring ResourceDisplayName(const wchar_t* resourceName) {
    if (IS_INTRESOURCE(resourceName)) {
        return L"#" + std::to_wstring(reinterpret_cast<std::uintptr_t>(resourceName));
    }
    return resourceName;
}

// The bytes of a raw-data resource of this program. Resources of the
// program's own module stay mapped for the life of the process: there is
// nothing to release.
std::span<const uint8_t> RawDataResource(const wchar_t* resourceName, const std::wstring& name) {
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC info = FindResourceW(module, resourceName, RT_RCDATA);
    const HGLOBAL loaded = info ? LoadResource(module, info) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) {
        throw AppError(PngErrorText(name, L"The program has no such image resource"));
    }
    return {static_cast<const uint8_t*>(bytes), SizeofResource(module, info)};
}

} // namespace

void LoadPngResource(Image32& bitmap, const wchar_t* resourceName) {
    const std::wstring name = ResourceDisplayName(resourceName);
    bitmap = LoadPngImage(RawDataResource(resourceName, name), name);
}
