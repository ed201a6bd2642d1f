// Values of holter.ini come from outside: every typing rule must take any
// text without fault, and what it accepts must be consistent.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "shared/portable/NumberFormat.h"
#include "shared/portable/SettingsValues.h"

using shared::BooleanValue;
using shared::ByteValue;
using shared::FloatToText;
using shared::kProfileStringCapacity;
using shared::LowByteValue;
using shared::ParseProfileInteger;
using shared::StringValue;
using shared::TextToFloat;
using shared::TFormatSettings;

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Two bytes a character, so that any UTF-16 text can occur.
std::wstring AsText(const std::uint8_t* data, std::size_t size) {
    std::wstring text;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
    }
    return text;
}

void CheckInteger(const std::wstring& text) {
    const std::optional<std::int32_t> value = ParseProfileInteger(text);
    const std::uint8_t byte = ByteValue(text, 42);
    if (!value) {
        Check(byte == 42);
        Check(LowByteValue(text, 7) == 7);
        return;
    }
    Check(byte == ((*value >= 0 && *value <= 255) ? *value : 42));
    Check(LowByteValue(text, 7) == (*value & 0xFF));
    Check(BooleanValue(text, true) == (*value != 0));
    Check(ParseProfileInteger(std::to_wstring(*value)) == value);
}

void CheckFloat(const std::wstring& text) {
    for (const TFormatSettings format :
         {TFormatSettings{L'.', L' '}, TFormatSettings{L',', L'.'}}) {
        const std::optional<double> value = TextToFloat(text, format);
        if (value) {
            Check(TextToFloat(FloatToText(*value, format), format) == value);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = AsText(data, size);
    CheckInteger(text);
    CheckFloat(text);
    Check(StringValue(text).size() <= kProfileStringCapacity - 1);
    return 0;
}
