#include "shared/portable/NumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstddef>

namespace shared {

TFormatSettings FormatSettings;

void SetProcessNumberFormat(wchar_t decimalSeparator, wchar_t thousandSeparator) {
    FormatSettings.DecimalSeparator = decimalSeparator;
    FormatSettings.ThousandSeparator = thousandSeparator;
}

namespace {

bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

// Copies a run of digits; returns how many there were.
std::size_t TakeDigits(std::wstring_view text, std::size_t& pos, std::string& out) {
    const std::size_t start = pos;
    while (pos < text.size() && IsDigit(text[pos])) {
        out.push_back(static_cast<char>(text[pos]));
        ++pos;
    }
    return pos - start;
}

// Checks the grammar and rewrites the number in the form std::from_chars
// reads: ASCII, a point as the decimal separator, no plus sign.
std::optional<std::string> NormaliseDecimal(std::wstring_view text, wchar_t decimalSeparator) {
    std::string out;
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == L'+' || text[pos] == L'-')) {
        if (text[pos] == L'-') {
            out.push_back('-');
        }
        ++pos;
    }
    std::size_t digits = TakeDigits(text, pos, out);
    if (pos < text.size() && text[pos] == decimalSeparator) {
        out.push_back('.');
        ++pos;
        digits += TakeDigits(text, pos, out);
    }
    if (digits == 0) {
        return std::nullopt;
    }
    if (pos < text.size() && (text[pos] == L'e' || text[pos] == L'E')) {
        out.push_back('e');
        ++pos;
        if (pos < text.size() && (text[pos] == L'+' || text[pos] == L'-')) {
            out.push_back(static_cast<char>(text[pos]));
            ++pos;
        }
        if (TakeDigits(text, pos, out) == 0) {
            return std::nullopt;
        }
    }
    if (pos != text.size()) {
        return std::nullopt;
    }
    return out;
}

} // namespace

std::optional<double> TextToFloat(std::wstring_view text, const TFormatSettings& format) {
    const std::optional<std::string> normalised = NormaliseDecimal(text, format.DecimalSeparator);
    if (!normalised) {
        return std::nullopt;
    }
    double value = 0.0;
    const char* first = normalised->data();
    const char* last = first + normalised->size();
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::wstring FloatToText(double value, const TFormatSettings& format) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::wstring text;
    for (const char* p = buffer; p != result.ptr; ++p) {
        text.push_back(*p == '.' ? format.DecimalSeparator : static_cast<wchar_t>(*p));
    }
    return text;
}

std::wstring IntToThousands(std::int64_t value, const TFormatSettings& format) {
    // Unsigned magnitude, so that the smallest value has one too.
    std::uint64_t magnitude =
        value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    std::wstring reversed;
    int groupDigits = 0;
    do {
        if (groupDigits == 3) {
            reversed.push_back(format.ThousandSeparator);
            groupDigits = 0;
        }
        reversed.push_back(static_cast<wchar_t>(L'0' + magnitude % 10));
        magnitude /= 10;
        ++groupDigits;
    } while (magnitude != 0);
    if (value < 0) {
        reversed.push_back(L'-');
    }
    return {reversed.rbegin(), reversed.rend()};
}

} // namespace shared
