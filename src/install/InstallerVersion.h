#pragma once
// The installer's own version, as its version resource gives it.
#include <string>
#include <windows.h>

namespace install {

// The installer's version from its version resource ("1.0.0.0"), or "?".
std::wstring InstallerVersion(HMODULE module);

} // namespace install
