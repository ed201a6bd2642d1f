#pragma once
// A whole directory copied by the shell.
#include <string>

namespace shared {

// Copies a directory with the shell's file operation; true when it returned 0.
bool ShellCopyDir(const std::wstring& source, const std::wstring& destination);

} // namespace shared
