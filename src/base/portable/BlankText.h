#pragma once
// Blanks around texts: every code unit up to the space counts, so that tabs,
// line breaks and other control characters go with the spaces.
#include <string_view>

namespace base {

// `text` without leading and trailing blanks.
std::wstring_view TrimmedBlanks(std::wstring_view text);

// `text` without trailing blanks.
std::wstring_view WithoutTrailingBlanks(std::wstring_view text);

} // namespace base
