#include "app/LoadPngResource.h"

#include "app/portable/PngDecoder.h"
#include "base/AppError.h"
#include "base/Resources.h"

#include <cstdint>
#include <span>
#include <string>
#include <windows.h>

using base::AppError;
using base::ResourceBytes;

namespace app {

using ui::Image32;

namespace {

// The name as written in the resource script; a numeric id as "#<id>".
std::wstring ResourceDisplayName(const wchar_t* resourceName) {
    if (IS_INTRESOURCE(resourceName)) {
        return L"#" + std::to_wstring(reinterpret_cast<std::uintptr_t>(resourceName));
    }
    return resourceName;
}

// The bytes of a raw-data resource of this program.
std::span<const uint8_t> RawDataResource(const wchar_t* resourceName, const std::wstring& name) {
    const std::span<const uint8_t> bytes =
        ResourceBytes(GetModuleHandleW(nullptr), resourceName, RT_RCDATA);
    if (bytes.data() == nullptr) {
        throw AppError(PngErrorText(name, L"The program has no such image resource"));
    }
    return bytes;
}

} // namespace

void LoadPngResource(Image32& bitmap, const wchar_t* resourceName) {
    const std::wstring name = ResourceDisplayName(resourceName);
    bitmap = LoadPngImage(RawDataResource(resourceName, name), name);
}

} // namespace app
