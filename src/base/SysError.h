#pragma once
// The system's description of an error code, and the file layer's errors.
#include <string>
#include <windows.h>

// The system's message text for `code`, without the trailing line break.
std::wstring SysErrorMessage(DWORD code);

// "Cannot open file "%s". %s" with the path and the system's text.
[[noreturn]] void RaiseCannotOpenFile(const std::wstring& path, DWORD code);

// "Cannot create file "%s". %s" with the path and the system's text.
[[noreturn]] void RaiseCannotCreateFile(const std::wstring& path, DWORD code);
