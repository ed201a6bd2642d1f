#pragma once
// A file's attributes.
#include <string>

namespace files {

// Sets or clears the read-only attribute, other attributes kept; silent on
// failure.
void SetReadOnlyAttr(const std::wstring& path, bool set);

} // namespace files
