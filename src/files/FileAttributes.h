#pragma once
// A file's attributes.
#include <string>

// Sets or clears the read-only attribute, other attributes kept; silent on
// failure.
void SetReadOnlyAttr(const std::wstring& path, bool set);
