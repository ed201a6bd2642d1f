#pragma once
// The process-wide number format: every conversion between numbers and text
// in the program goes through it, so that the settings files read the same on
// every system whatever its regional settings.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace shared {

struct TFormatSettings {
    wchar_t DecimalSeparator = L'.';
    wchar_t ThousandSeparator = L',';
};

// The record in force for the whole process. The shared settings module fixes
// it at start-up to a decimal point and a space between thousands.
extern TFormatSettings FormatSettings;

// Replaces the process-wide format.
void SetProcessNumberFormat(wchar_t decimalSeparator, wchar_t thousandSeparator);

// A decimal number: an optional sign, digits with at most one decimal
// separator of `format`, an optional exponent ("e" or "E", optional sign,
// digits). Nothing else, no blanks. Empty when the text is not such a number
// or its value is not finite.
std::optional<double> TextToFloat(std::wstring_view text,
                                  const TFormatSettings& format = FormatSettings);

// The two conversions below belong to the shared unit's interface (what the
// process-wide format governs for the suite's programs); the installer itself
// writes no numbers as text.
// The shortest text that reads back as the same value, with the format's
// decimal separator.
std::wstring FloatToText(double value, const TFormatSettings& format = FormatSettings);

// An integer with its digits grouped by three with the format's thousands
// separator: 1234567 gives "1 234 567" under the start-up format.
std::wstring IntToThousands(std::int64_t value, const TFormatSettings& format = FormatSettings);

} // namespace shared
