#pragma once
// The program's embedded resources as bytes.
#include <cstdint>
#include <span>
#include <windows.h>

namespace base {

// The bytes of resource `name` of type `type` in `module`; data() is null
// when the module has no such resource. A loaded module's resources stay
// mapped as long as the module: there is nothing to release.
std::span<const std::uint8_t> ResourceBytes(HMODULE module, const wchar_t* name,
                                            const wchar_t* type);

} // namespace base
