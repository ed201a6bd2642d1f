#pragma once
// The system's description of an error code, and the file layer's errors.
#include <string>
#include <windows.h>

namespace base {

// The system's message text for `code`, without the trailing line break.
std::wstring SysErrorMessage(DWORD code);

// The code as eight upper-case hexadecimal digits ("80004005").
std::wstring HresultDigits(HRESULT result);

// The system's message text for a COM result; "OLE error <digits>" when the
// system has none.
std::wstring HresultText(HRESULT result);

// "Cannot open file "%s". %s" with the path and the system's text.
[[noreturn]] void RaiseCannotOpenFile(const std::wstring& path, DWORD code);

// "Cannot create file "%s". %s" with the path and the system's text.
[[noreturn]] void RaiseCannotCreateFile(const std::wstring& path, DWORD code);

// "Cannot open registry key "%s". %s" with the key's full name and the
// system's text.
[[noreturn]] void RaiseCannotOpenRegistryKey(const std::wstring& keyName, LSTATUS code);

// "Cannot write registry value "%s". %s" with the value's name and the
// system's text.
[[noreturn]] void RaiseCannotWriteRegistryValue(const std::wstring& valueName, LSTATUS code);

} // namespace base
