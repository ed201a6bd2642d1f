#include <gtest/gtest.h>

#include "shared/VS_Common_Types.h"

using shared::TStartXmlObject;

namespace {

TEST(StartXmlObject, ClearEmptiesEveryStringAndZeroesEveryNumber) {
    TStartXmlObject record;
    record.filename = L"a.xml";
    record.FIO = L"Иванов";
    record.AD = L"120/80";
    record.Medic = L"m";
    record.ADS = 120;
    record.ADD = 80;
    record.IWR = -1;
    record.clear();
    EXPECT_TRUE(record.filename.empty() && record.FIO.empty() && record.AD.empty() &&
                record.Medic.empty());
    EXPECT_EQ(record.ADS, 0);
    EXPECT_EQ(record.ADD, 0);
    EXPECT_EQ(record.IWR, 0);
}

} // namespace
