#include <gtest/gtest.h>

#include <algorithm>

#include "install/portable/SettingsRecords.h"

using install::DaysSince18991230;
using install::EmptyNsiTable;
using install::InitialLastNumRecord;
using install::LocalDateTime;

namespace {

TEST(NsiTable, SixtyEmptyEntriesOfFourteenBytes) {
    const auto table = EmptyNsiTable();
    ASSERT_EQ(table.size(), 840u);
    EXPECT_TRUE(std::all_of(table.begin(), table.end(), [](std::uint8_t b) { return b == 0; }));
}

struct DateCase {
    LocalDateTime when;
    double days;
};

class DaysSince18991230Test : public testing::TestWithParam<DateCase> {};

TEST_P(DaysSince18991230Test, CountsDaysAndTheFractionOfTheDay) {
    EXPECT_DOUBLE_EQ(DaysSince18991230(GetParam().when), GetParam().days);
}

INSTANTIATE_TEST_SUITE_P(
    KnownDates, DaysSince18991230Test,
    testing::Values(DateCase{{1899, 12, 30, 0, 0, 0, 0}, 0.0},
                    DateCase{{1899, 12, 31, 12, 0, 0, 0}, 1.5},
                    DateCase{{1900, 3, 1, 0, 0, 0, 0}, 61.0},
                    DateCase{{2000, 1, 1, 0, 0, 0, 0}, 36526.0},
                    DateCase{{2015, 6, 13, 18, 0, 0, 0}, 42168.75},
                    DateCase{{2024, 2, 29, 6, 0, 0, 0}, 45351.25},
                    DateCase{{2024, 2, 29, 0, 0, 0, 1}, 45351.0 + 1.0 / 86400000.0},
                    DateCase{{2024, 2, 29, 23, 59, 59, 999}, 45351.0 + 86399999.0 / 86400000.0}));

TEST(LastNumRecord, PackedLittleEndianWithTheDateTimeAtOffsetSix) {
    const auto record = InitialLastNumRecord({2015, 6, 13, 18, 0, 0, 0});
    ASSERT_EQ(record.size(), 14u);
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(record[i], 0) << i;
    }
    // 42168.75 as an IEEE 754 double is 0x40E4 9718 0000 0000.
    const std::uint8_t expected[8] = {0x00, 0x00, 0x00, 0x00, 0x18, 0x97, 0xE4, 0x40};
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(record[6 + i], expected[i]) << i;
    }
}

} // namespace
