#pragma once
// How the values of the suite's profile (INI) files are typed, and the order
// in which the shared settings file's "options" section fills the settings
// record. A value is the text the profile reader returned for a key; a
// missing key reads as empty text.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "shared/VS_Common_Types.h"
#include "shared/portable/NumberFormat.h"

namespace shared {

// Characters of the buffer a string value is read into, the terminating zero
// included: a value keeps at most 2047 characters.
inline constexpr std::size_t kProfileStringCapacity = 2048;

// The section of holter.ini that holds the shared settings.
inline constexpr std::wstring_view kOptionsSection = L"options";

// An integer: decimal with an optional minus sign, or hexadecimal after "0x"
// or "0X" (up to 32 bits, taken as their two's-complement value). Empty when
// the text is neither or the number does not fit in 32 bits.
std::optional<std::int32_t> ParseProfileInteger(std::wstring_view text);

// The integer of `text`, or `defaultValue` when it cannot be read.
std::int32_t IntegerValue(std::wstring_view text, std::int32_t defaultValue);

// An integer read as a Boolean: 0 is false, any other integer true.
bool BooleanValue(std::wstring_view text, bool defaultValue);

// A decimal number with the decimal separator of `format`.
double FloatValue(std::wstring_view text, double defaultValue,
                  const TFormatSettings& format = FormatSettings);

// An integer that must lie in 0..255; a number outside that range counts as
// unreadable and yields the default.
std::uint8_t ByteValue(std::wstring_view text, std::uint8_t defaultValue);

// The low 8 bits of the integer (or of the default), without a range check.
std::uint8_t LowByteValue(std::wstring_view text, std::uint8_t defaultValue);

// The text cut to what the read buffer holds (2047 characters).
std::wstring StringValue(std::wstring_view text);

// Returns the value text of one key of section "options" (empty when the key
// is missing).
using OptionsKeyReader = std::function<std::wstring(std::wstring_view key)>;

// Fills `settings` from the "options" keys in the file's fixed reading order:
// forMVD is cleared, forGE read, Person cleared, then the other 26 keys. The
// fields that have no key (HViewType, CorrectProbeli) are left alone.
void ReadOptionsInto(TSettings& settings, const OptionsKeyReader& readKey,
                     const TFormatSettings& format = FormatSettings);

} // namespace shared
