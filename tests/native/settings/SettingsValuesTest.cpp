#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "shared/portable/SettingsValues.h"

using shared::BooleanValue;
using shared::ByteValue;
using shared::FloatValue;
using shared::IntegerValue;
using shared::LowByteValue;
using shared::ParseProfileInteger;
using shared::StringValue;
using shared::TFormatSettings;

namespace {

struct IntegerCase {
    const wchar_t* text;
    std::optional<std::int32_t> expected;
};

class ProfileInteger : public testing::TestWithParam<IntegerCase> {};

TEST_P(ProfileInteger, ReadsDecimalAndHexOnly) {
    EXPECT_EQ(ParseProfileInteger(GetParam().text), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ProfileInteger,
    testing::Values(IntegerCase{L"0", 0}, IntegerCase{L"42", 42}, IntegerCase{L"-17", -17},
                    IntegerCase{L"007", 7}, IntegerCase{L"0x10", 16}, IntegerCase{L"0X1f", 31},
                    IntegerCase{L"0xFFFFFFFF", -1}, IntegerCase{L"0x7FFFFFFF", 2147483647},
                    IntegerCase{L"2147483647", 2147483647}, IntegerCase{L"-2147483648", INT32_MIN},
                    // Not integers of the file's kind.
                    IntegerCase{L"", std::nullopt}, IntegerCase{L"-", std::nullopt},
                    IntegerCase{L"+5", std::nullopt}, IntegerCase{L" 5", std::nullopt},
                    IntegerCase{L"5 ", std::nullopt}, IntegerCase{L"1.5", std::nullopt},
                    IntegerCase{L"0x", std::nullopt}, IntegerCase{L"0xG", std::nullopt},
                    IntegerCase{L"-0x10", std::nullopt}, IntegerCase{L"$10", std::nullopt},
                    IntegerCase{L"10h", std::nullopt}, IntegerCase{L"2147483648", std::nullopt},
                    IntegerCase{L"-2147483649", std::nullopt},
                    IntegerCase{L"0x100000000", std::nullopt},
                    IntegerCase{L"99999999999999999999", std::nullopt},
                    IntegerCase{L"１２", std::nullopt}));

TEST(SettingsValues, EmptyOrUnreadableValuesYieldTheDefault) {
    EXPECT_EQ(IntegerValue(L"", 1), 1);
    EXPECT_EQ(IntegerValue(L"abc", -3), -3);
    EXPECT_TRUE(BooleanValue(L"", true));
    EXPECT_FALSE(BooleanValue(L"", false));
    EXPECT_TRUE(BooleanValue(L"yes", true));
    EXPECT_FALSE(BooleanValue(L"true", false));
    EXPECT_EQ(FloatValue(L"", 1.0), 1.0);
    EXPECT_EQ(ByteValue(L"", 9), 9);
    EXPECT_EQ(StringValue(L""), L"");
}

TEST(SettingsValues, BooleanIsAnIntegerWithZeroFalse) {
    EXPECT_FALSE(BooleanValue(L"0", true));
    EXPECT_TRUE(BooleanValue(L"7", false));
    EXPECT_TRUE(BooleanValue(L"-1", false));
    EXPECT_TRUE(BooleanValue(L"0x100", false));
    EXPECT_FALSE(BooleanValue(L"0x0", true));
}

TEST(SettingsValues, FloatTakesThePointOfTheFormatOnly) {
    const TFormatSettings point{L'.', L' '};
    EXPECT_EQ(FloatValue(L"1.5", 1.0, point), 1.5);
    EXPECT_EQ(FloatValue(L"1,5", 1.0, point), 1.0);
    EXPECT_EQ(FloatValue(L"-0.25", 1.0, point), -0.25);
    EXPECT_EQ(FloatValue(L"2", 1.0, point), 2.0);
    EXPECT_EQ(FloatValue(L"1 000.5", 1.0, point), 1.0);
    // A system whose format says comma reads the comma and refuses the point.
    const TFormatSettings comma{L',', L' '};
    EXPECT_EQ(FloatValue(L"1,5", 1.0, comma), 1.5);
    EXPECT_EQ(FloatValue(L"1.5", 1.0, comma), 1.0);
}

TEST(SettingsValues, ByteKeepsItsRangeOtherwiseDefault) {
    EXPECT_EQ(ByteValue(L"0x10", 0), 16);
    EXPECT_EQ(ByteValue(L"255", 0), 255);
    EXPECT_EQ(ByteValue(L"0", 5), 0);
    EXPECT_EQ(ByteValue(L"256", 0), 0);
    EXPECT_EQ(ByteValue(L"-1", 0), 0);
    EXPECT_EQ(ByteValue(L"0x100", 3), 3);
    EXPECT_EQ(ByteValue(L"2147483647", 7), 7);
}

TEST(SettingsValues, LowByteCutsWithoutRangeCheck) {
    EXPECT_EQ(LowByteValue(L"260", 0), 4);
    EXPECT_EQ(LowByteValue(L"0x104", 0), 4);
    EXPECT_EQ(LowByteValue(L"-1", 0), 255);
    EXPECT_EQ(LowByteValue(L"7", 0), 7);
    EXPECT_EQ(LowByteValue(L"x", 2), 2);
}

TEST(SettingsValues, StringKeepsAtMost2047Characters) {
    const std::wstring longText(3000, L'я');
    EXPECT_EQ(StringValue(longText), std::wstring(2047, L'я'));
    EXPECT_EQ(StringValue(std::wstring(2047, L'a')).size(), 2047u);
    EXPECT_EQ(StringValue(L" ENG "), L" ENG ");
}

} // namespace
