#include "base/Resources.h"

namespace base {

std::span<const std::uint8_t> ResourceBytes(HMODULE module, const wchar_t* name,
                                            const wchar_t* type) {
    const HRSRC info = FindResourceW(module, name, type);
    const HGLOBAL loaded = info != nullptr ? LoadResource(module, info) : nullptr;
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) {
        return {};
    }
    return {static_cast<const std::uint8_t*>(bytes), SizeofResource(module, info)};
}

} // namespace base
