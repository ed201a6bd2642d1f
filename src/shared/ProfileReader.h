#pragma once
// Reading keys of a profile (INI) file through the system's profile reader.
#include <string>

namespace shared {

// The value of `key` in `section` of `file` as GetPrivateProfileStringW
// returns it (at most 2047 characters), or `defaultText` when the file, the
// section or the key is missing. A key present with an empty value gives "".
std::wstring ReadProfileString(const std::wstring& file, const std::wstring& section,
                               const std::wstring& key, const std::wstring& defaultText);

} // namespace shared
