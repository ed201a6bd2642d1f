#pragma once
// Where Windows is installed.
#include <string>
#include <windows.h>

namespace shared {

// The Windows directory with a trailing backslash, or empty.
std::wstring GetWindowsDir();

} // namespace shared
