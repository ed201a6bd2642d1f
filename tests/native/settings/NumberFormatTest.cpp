#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "shared/portable/NumberFormat.h"

using shared::FloatToText;
using shared::FormatSettings;
using shared::IntToThousands;
using shared::SetProcessNumberFormat;
using shared::TextToFloat;
using shared::TFormatSettings;

namespace {

TEST(NumberFormat, ReadsDecimalNumbersWithTheFormatsSeparator) {
    const TFormatSettings point{L'.', L' '};
    EXPECT_EQ(TextToFloat(L"1.5", point), 1.5);
    EXPECT_EQ(TextToFloat(L"+1.5", point), 1.5);
    EXPECT_EQ(TextToFloat(L"-.5", point), -0.5);
    EXPECT_EQ(TextToFloat(L"3.", point), 3.0);
    EXPECT_EQ(TextToFloat(L"1.5e2", point), 150.0);
    EXPECT_EQ(TextToFloat(L"25E-1", point), 2.5);
    for (const wchar_t* bad : {L"", L".", L"-", L"1,5", L"1.5.", L"1e", L"e5", L" 1", L"1 ", L"inf",
                               L"nan", L"0x10", L"1e999", L"1.5f"}) {
        EXPECT_FALSE(TextToFloat(bad, point).has_value()) << bad;
    }
    const TFormatSettings comma{L',', L'.'};
    EXPECT_EQ(TextToFloat(L"1,5", comma), 1.5);
    EXPECT_FALSE(TextToFloat(L"1.5", comma).has_value());
}

TEST(NumberFormat, WritesFloatsThatReadBack) {
    const TFormatSettings point{L'.', L' '};
    EXPECT_EQ(FloatToText(1.5, point), L"1.5");
    EXPECT_EQ(FloatToText(-2, point), L"-2");
    EXPECT_EQ(FloatToText(0.1, point), L"0.1");
    EXPECT_EQ(FloatToText(1.5, TFormatSettings{L',', L' '}), L"1,5");
    const double third = 1.0 / 3.0;
    EXPECT_EQ(TextToFloat(FloatToText(third, point), point), third);
}

TEST(NumberFormat, GroupsThousandsWithTheSeparator) {
    const TFormatSettings space{L'.', L' '};
    EXPECT_EQ(IntToThousands(0, space), L"0");
    EXPECT_EQ(IntToThousands(999, space), L"999");
    EXPECT_EQ(IntToThousands(1000, space), L"1 000");
    EXPECT_EQ(IntToThousands(-1234567, space), L"-1 234 567");
    EXPECT_EQ(IntToThousands(std::numeric_limits<std::int64_t>::min(), space),
              L"-9 223 372 036 854 775 808");
}

TEST(NumberFormat, ProcessFormatIsReplacedAsAWhole) {
    const TFormatSettings saved = FormatSettings;
    SetProcessNumberFormat(L'.', L' ');
    EXPECT_EQ(FormatSettings.DecimalSeparator, L'.');
    EXPECT_EQ(FormatSettings.ThousandSeparator, L' ');
    EXPECT_EQ(IntToThousands(12345), L"12 345");
    FormatSettings = saved;
}

} // namespace
