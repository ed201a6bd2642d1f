#include "shared/portable/SettingsValues.h"

#include <limits>

namespace shared {

namespace {

std::optional<unsigned> HexDigitValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') {
        return static_cast<unsigned>(c - L'0');
    }
    if (c >= L'a' && c <= L'f') {
        return static_cast<unsigned>(c - L'a' + 10);
    }
    if (c >= L'A' && c <= L'F') {
        return static_cast<unsigned>(c - L'A' + 10);
    }
    return std::nullopt;
}

// Hexadecimal digits that fit in 32 bits, taken as a two's-complement value.
std::optional<std::int32_t> ParseHex(std::wstring_view digits) {
    if (digits.empty()) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (const wchar_t c : digits) {
        const std::optional<unsigned> digit = HexDigitValue(c);
        if (!digit) {
            return std::nullopt;
        }
        value = value * 16 + *digit;
        if (value > std::numeric_limits<std::uint32_t>::max()) {
            return std::nullopt;
        }
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

std::optional<std::int32_t> ParseDecimal(std::wstring_view text) {
    const bool negative = !text.empty() && text.front() == L'-';
    const std::wstring_view digits = negative ? text.substr(1) : text;
    if (digits.empty()) {
        return std::nullopt;
    }
    const std::int64_t limit =
        negative ? -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min())
                 : std::numeric_limits<std::int32_t>::max();
    std::int64_t magnitude = 0;
    for (const wchar_t c : digits) {
        if (c < L'0' || c > L'9') {
            return std::nullopt;
        }
        magnitude = magnitude * 10 + (c - L'0');
        if (magnitude > limit) {
            return std::nullopt;
        }
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

} // namespace

std::optional<std::int32_t> ParseProfileInteger(std::wstring_view text) {
    if (text.size() > 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X')) {
        return ParseHex(text.substr(2));
    }
    return ParseDecimal(text);
}

std::int32_t IntegerValue(std::wstring_view text, std::int32_t defaultValue) {
    return ParseProfileInteger(text).value_or(defaultValue);
}

bool BooleanValue(std::wstring_view text, bool defaultValue) {
    return IntegerValue(text, defaultValue ? 1 : 0) != 0;
}

double FloatValue(std::wstring_view text, double defaultValue, const TFormatSettings& format) {
    return TextToFloat(text, format).value_or(defaultValue);
}

std::uint8_t ByteValue(std::wstring_view text, std::uint8_t defaultValue) {
    const std::optional<std::int32_t> value = ParseProfileInteger(text);
    if (!value || *value < 0 || *value > 255) {
        return defaultValue;
    }
    return static_cast<std::uint8_t>(*value);
}

std::uint8_t LowByteValue(std::wstring_view text, std::uint8_t defaultValue) {
    return static_cast<std::uint8_t>(IntegerValue(text, defaultValue) & 0xFF);
}

std::wstring StringValue(std::wstring_view text) {
    return std::wstring(text.substr(0, kProfileStringCapacity - 1));
}

void ReadOptionsInto(TSettings& s, const OptionsKeyReader& readKey, const TFormatSettings& format) {
    const auto boolean = [&](std::wstring_view key, bool def) {
        return BooleanValue(readKey(key), def);
    };
    const auto gain = [&](std::wstring_view key) { return FloatValue(readKey(key), 1.0, format); };

    s.forMVD = false;
    s.forGE = boolean(L"forGE", false);
    s.Person = 0;
    s.FilterType = ByteValue(readKey(L"FilterType"), 0);
    s.DefaultRegType = static_cast<Tregtype>(LowByteValue(readKey(L"DefaultRegType"), 0));
    s.doformshow = boolean(L"doformshow", true);
    s.DebugPrint = boolean(L"DebugPrint", false);
    s.DebugMy = boolean(L"DebugMy", false);
    s.PoverkaView = boolean(L"PoverkaView", false);
    s.HviewDebug = boolean(L"HviewDebug", false);
    s.ECGAtRestWork = boolean(L"ECGAtRestWork", false);
    s.OnlyDecode = boolean(L"onlydecode", false);
    s.SaveSwap = boolean(L"saveswap", false);
    s.ChannelGain = gain(L"Channel1Gain");
    s.ChannelGain12 = gain(L"Channel2Gain");
    s.GroupProcess = boolean(L"GroupProcess", false);
    s.EnabledScrining = boolean(L"EnabledScrining", false);
    s.HardwareType = IntegerValue(readKey(L"HardwareType"), 1);
    s.LanguageSetting = StringValue(readKey(L"LanguageSetting"));
    s.New_Reg = ByteValue(readKey(L"new_reg"), 0);
    s.NurseMode = boolean(L"NurseMode", true);
    s.DoctorMode = boolean(L"DoctorMode", true);
    s.EMIASTESTINGMODE = boolean(L"EMIASTESTINGMODE", false);
    s.EMIASEMULATINGMODE = boolean(L"EMIASEMULATINGMODE", false);
    s.RegEmulating = boolean(L"RegEmulating", false);
    s.AriadnaSearchTesting = boolean(L"AriadnaSearchTesting", false);
    s.UserIsMS = boolean(L"UserIsMS", false);
    s.PraktikaSearchTesting = boolean(L"PraktikaSearchTesting", false);
    s.PraktikaTesting = boolean(L"PraktikaTesting", false);
}

} // namespace shared
