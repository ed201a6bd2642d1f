#pragma once
// Reads a font's full name from the 'name' table of a TrueType or OpenType
// file held in memory. Every offset and length taken from the file is
// checked against the buffer, so any bytes may be given.
#include <cstddef>
#include <cstdint>
#include <string>

namespace sys {

// The full name (name id 4) of the Windows platform's Unicode records: the
// English (United States) one when present, otherwise the first one in the
// table. A TrueType collection gives its first font's name. Empty when the
// bytes are no font or hold no such record.
std::u16string ReadFontFullName(const std::uint8_t* data, std::size_t size);

} // namespace sys
