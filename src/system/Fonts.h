#pragma once
// The titles of font files: what the font step registers them under and
// the medium check reads.
#include <string>

namespace sys {

// The font's full name, or empty.
std::wstring GetFontTitle(const std::wstring& path);

// The full name in the font file's own 'name' table, or empty when the file
// cannot be read or is no TrueType or OpenType font.
std::wstring TitleFromNameTable(const std::wstring& path);

} // namespace sys
