#pragma once
// A string of a module's string table.
#include <string>
#include <windows.h>

namespace shared {

// The string resource `id` of `module`: at most 254 characters, up to the
// first zero.
std::wstring GetResString(HINSTANCE module, UINT id);

} // namespace shared
