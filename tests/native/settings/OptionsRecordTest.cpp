#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "shared/portable/SettingsValues.h"

using shared::hvtOnline;
using shared::OptionsKeyReader;
using shared::ReadOptionsInto;
using shared::TFormatSettings;
using shared::TSettings;

namespace {

// An "options" section held in memory; records which keys were asked for.
class FakeOptions {
  public:
    explicit FakeOptions(std::map<std::wstring, std::wstring> values)
        : values_(std::move(values)) {}

    OptionsKeyReader reader() {
        return [this](std::wstring_view key) {
            asked_.emplace_back(key);
            const auto it = values_.find(std::wstring(key));
            return it == values_.end() ? std::wstring() : it->second;
        };
    }
    const std::vector<std::wstring>& asked() const { return asked_; }

  private:
    std::map<std::wstring, std::wstring> values_;
    std::vector<std::wstring> asked_;
};

const TFormatSettings kStartupFormat{L'.', L' '};

TEST(OptionsRecord, EmptySectionGivesEveryDefault) {
    FakeOptions options({});
    TSettings s;
    s.forMVD = true;
    s.Person = 9;
    s.HViewType = hvtOnline;
    s.CorrectProbeli = true;
    ReadOptionsInto(s, options.reader(), kStartupFormat);

    EXPECT_FALSE(s.forMVD);
    EXPECT_EQ(s.Person, 0);
    EXPECT_FALSE(s.forGE);
    EXPECT_EQ(s.FilterType, 0);
    EXPECT_EQ(s.DefaultRegType, 0);
    EXPECT_TRUE(s.doformshow);
    EXPECT_FALSE(s.DebugPrint || s.DebugMy || s.PoverkaView || s.HviewDebug || s.ECGAtRestWork ||
                 s.OnlyDecode || s.SaveSwap || s.GroupProcess || s.EnabledScrining);
    EXPECT_EQ(s.ChannelGain, 1.0);
    EXPECT_EQ(s.ChannelGain12, 1.0);
    EXPECT_EQ(s.HardwareType, 1);
    EXPECT_EQ(s.LanguageSetting, L"");
    EXPECT_EQ(s.New_Reg, 0);
    EXPECT_TRUE(s.NurseMode);
    EXPECT_TRUE(s.DoctorMode);
    EXPECT_FALSE(s.EMIASTESTINGMODE || s.EMIASEMULATINGMODE || s.RegEmulating ||
                 s.AriadnaSearchTesting || s.UserIsMS || s.PraktikaSearchTesting ||
                 s.PraktikaTesting);
    // Fields without a key keep what they had.
    EXPECT_EQ(s.HViewType, hvtOnline);
    EXPECT_TRUE(s.CorrectProbeli);
}

TEST(OptionsRecord, ReadsTheTwentySevenKeysOnceInTheirOrder) {
    FakeOptions options({});
    TSettings s;
    ReadOptionsInto(s, options.reader(), kStartupFormat);
    const std::vector<std::wstring> expected = {L"forGE",
                                                L"FilterType",
                                                L"DefaultRegType",
                                                L"doformshow",
                                                L"DebugPrint",
                                                L"DebugMy",
                                                L"PoverkaView",
                                                L"HviewDebug",
                                                L"ECGAtRestWork",
                                                L"onlydecode",
                                                L"saveswap",
                                                L"Channel1Gain",
                                                L"Channel2Gain",
                                                L"GroupProcess",
                                                L"EnabledScrining",
                                                L"HardwareType",
                                                L"LanguageSetting",
                                                L"new_reg",
                                                L"NurseMode",
                                                L"DoctorMode",
                                                L"EMIASTESTINGMODE",
                                                L"EMIASEMULATINGMODE",
                                                L"RegEmulating",
                                                L"AriadnaSearchTesting",
                                                L"UserIsMS",
                                                L"PraktikaSearchTesting",
                                                L"PraktikaTesting"};
    EXPECT_EQ(options.asked(), expected);
}

TEST(OptionsRecord, EveryKeyReachesItsOwnField) {
    FakeOptions options({{L"forGE", L"1"},
                         {L"FilterType", L"0x10"},
                         {L"DefaultRegType", L"260"},
                         {L"doformshow", L"0"},
                         {L"DebugPrint", L"7"},
                         {L"DebugMy", L"1"},
                         {L"PoverkaView", L"1"},
                         {L"HviewDebug", L"1"},
                         {L"ECGAtRestWork", L"1"},
                         {L"onlydecode", L"1"},
                         {L"saveswap", L"1"},
                         {L"Channel1Gain", L"1.5"},
                         {L"Channel2Gain", L"1,5"},
                         {L"GroupProcess", L"1"},
                         {L"EnabledScrining", L"1"},
                         {L"HardwareType", L"-3"},
                         {L"LanguageSetting", L"ENG"},
                         {L"new_reg", L"200"},
                         {L"NurseMode", L"0"},
                         {L"DoctorMode", L"0"},
                         {L"EMIASTESTINGMODE", L"1"},
                         {L"EMIASEMULATINGMODE", L"1"},
                         {L"RegEmulating", L"1"},
                         {L"AriadnaSearchTesting", L"1"},
                         {L"UserIsMS", L"1"},
                         {L"PraktikaSearchTesting", L"1"},
                         {L"PraktikaTesting", L"1"}});
    TSettings s;
    ReadOptionsInto(s, options.reader(), kStartupFormat);

    EXPECT_TRUE(s.forGE);
    EXPECT_EQ(s.FilterType, 16);
    EXPECT_EQ(s.DefaultRegType, 4);
    EXPECT_FALSE(s.doformshow);
    EXPECT_TRUE(s.DebugPrint && s.DebugMy && s.PoverkaView && s.HviewDebug && s.ECGAtRestWork &&
                s.OnlyDecode && s.SaveSwap && s.GroupProcess && s.EnabledScrining);
    EXPECT_EQ(s.ChannelGain, 1.5);
    EXPECT_EQ(s.ChannelGain12, 1.0);
    EXPECT_EQ(s.HardwareType, -3);
    EXPECT_EQ(s.LanguageSetting, L"ENG");
    EXPECT_EQ(s.New_Reg, 200);
    EXPECT_FALSE(s.NurseMode);
    EXPECT_FALSE(s.DoctorMode);
    EXPECT_TRUE(s.EMIASTESTINGMODE && s.EMIASEMULATINGMODE && s.RegEmulating &&
                s.AriadnaSearchTesting && s.UserIsMS && s.PraktikaSearchTesting &&
                s.PraktikaTesting);
    EXPECT_FALSE(s.forMVD);
    EXPECT_EQ(s.Person, 0);
}

TEST(OptionsRecord, OutOfRangeByteFieldsFallBackToTheirDefault) {
    for (const wchar_t* bad : {L"256", L"-1", L"0x1FF", L"100000"}) {
        FakeOptions options({{L"FilterType", bad}, {L"new_reg", bad}, {L"DefaultRegType", bad}});
        TSettings s;
        s.FilterType = 77;
        s.New_Reg = 77;
        ReadOptionsInto(s, options.reader(), kStartupFormat);
        EXPECT_EQ(s.FilterType, 0) << bad;
        EXPECT_EQ(s.New_Reg, 0) << bad;
        EXPECT_EQ(s.HardwareType, 1) << bad;
    }
}

} // namespace
