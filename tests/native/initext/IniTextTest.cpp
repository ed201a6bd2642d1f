#include <gtest/gtest.h>

#include "install/portable/IniText.h"

using install::AnsiCodePage;
using install::IniText;

namespace {

using namespace std::string_literals;

std::string Utf16LE(std::u16string_view text, bool bom = true) {
    std::string bytes = bom ? "\xFF\xFE"s : ""s;
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

std::string Utf16BE(std::u16string_view text) {
    std::string bytes = "\xFE\xFF"s;
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit >> 8));
        bytes.push_back(static_cast<char>(unit & 0xFF));
    }
    return bytes;
}

void SetInitialOptions(IniText& text) {
    text.SetInteger(u"options", u"FilterType", 0);
    text.SetInteger(u"options", u"HardwareType", 1);
}

TEST(IniText, FreshHolterIniIsTheFortyThreeBytes) {
    IniText text;
    SetInitialOptions(text);
    const std::string bytes = text.Serialize();
    EXPECT_EQ(bytes, "[options]\r\nFilterType=0\r\nHardwareType=1\r\n\r\n");
    EXPECT_EQ(bytes.size(), 43u);
}

TEST(IniText, FreshBtoothIniIsTheTwentyBytes) {
    IniText text;
    text.SetString(u"Common", u"Disk", u"I");
    EXPECT_EQ(text.Serialize(), "[Common]\r\nDisk=I\r\n\r\n");
    EXPECT_EQ(text.Serialize().size(), 20u);
}

TEST(IniText, ExistingKeyIsReplacedInPlaceAndTheSectionKeepsItsCase) {
    IniText text = IniText::Parse("[Misc]\r\nA=1\r\n"
                                  "[OPTIONS]\r\nFirst=x\r\n  filtertype = 3  \r\nLast=y\r\n"
                                  "[Other]\r\nB=2\r\n");
    SetInitialOptions(text);
    EXPECT_EQ(text.Serialize(),
              "[Misc]\r\nA=1\r\n\r\n"
              "[OPTIONS]\r\nFirst=x\r\nFilterType=0\r\nLast=y\r\nHardwareType=1\r\n\r\n"
              "[Other]\r\nB=2\r\n\r\n");
}

TEST(IniText, MissingSectionIsAddedAfterTheLast) {
    IniText text = IniText::Parse("[Common]\nDisk=C\n");
    SetInitialOptions(text);
    EXPECT_EQ(text.Serialize(),
              "[Common]\r\nDisk=C\r\n\r\n[options]\r\nFilterType=0\r\nHardwareType=1\r\n\r\n");
}

TEST(IniText, CommentsEmptyLinesAndLinesBeforeTheFirstSectionAreDropped) {
    const IniText text = IniText::Parse("stray=1\r\n; heading\r\n\r\n[ options ]\r\n"
                                        "   ;comment\r\n\r\n\tkey\t=\tvalue with blanks \t\r\n"
                                        "plain line  \r\n= lone value\r\n");
    EXPECT_EQ(text.Serialize(),
              "[options]\r\nkey=value with blanks\r\nplain line\r\n=lone value\r\n\r\n");
}

TEST(IniText, LinesEndAtCrLfCrOrLf) {
    const IniText text = IniText::Parse("[a]\rk1=1\nk2=2\r\nk3=3");
    EXPECT_EQ(text.Serialize(), "[a]\r\nk1=1\r\nk2=2\r\nk3=3\r\n\r\n");
}

TEST(IniText, NamesMatchWithoutRegardToCaseAndTheFirstDuplicateWins) {
    IniText text = IniText::Parse("[Opt]\r\nKEY=1\r\nkey=2\r\n[opt]\r\nkey=3\r\n");
    text.SetString(u"OPT", u"Key", u"9");
    EXPECT_EQ(text.Serialize(), "[Opt]\r\nKey=9\r\nkey=2\r\n\r\n[opt]\r\nkey=3\r\n\r\n");
    EXPECT_EQ(text.ReadString(u"oPT", u"kEY"), u"9");
    EXPECT_EQ(text.ReadString(u"opt", u"missing"), std::nullopt);
    EXPECT_EQ(text.ReadString(u"none", u"key"), std::nullopt);
}

TEST(IniText, LineWithoutEqualsIsNoKey) {
    IniText text = IniText::Parse("[options]\r\nFilterType\r\n");
    text.SetInteger(u"options", u"FilterType", 0);
    EXPECT_EQ(text.Serialize(), "[options]\r\nFilterType\r\nFilterType=0\r\n\r\n");
}

TEST(IniText, SectionLinesNeedBothBrackets) {
    const IniText text = IniText::Parse("[a]\r\n[b\r\nc]\r\n[\r\n[]\r\nx=1\r\n");
    EXPECT_EQ(text.Serialize(), "[a]\r\n[b\r\nc]\r\n[\r\n\r\n[]\r\nx=1\r\n\r\n");
    EXPECT_EQ(text.ReadString(u"", u"x"), u"1");
}

TEST(IniText, EightBitBytesOfOtherKeysAreKeptExactly) {
    // Windows-1251 "Тест" and bytes that are not UTF-8.
    const std::string input = "[options]\r\nName=\xD2\xE5\xF1\xF2\r\nRaw=\x80\xFF\x01x\r\n";
    IniText text = IniText::Parse(input);
    SetInitialOptions(text);
    EXPECT_EQ(text.Serialize(), "[options]\r\nName=\xD2\xE5\xF1\xF2\r\nRaw=\x80\xFF\x01x\r\n"
                                "FilterType=0\r\nHardwareType=1\r\n\r\n");
}

TEST(IniText, AnsiNamesAndValuesGoThroughTheGivenCodePage) {
    AnsiCodePage upper{
        [](std::string_view bytes) { return std::u16string(bytes.begin(), bytes.end()); },
        [](std::u16string_view text) {
            std::string bytes;
            for (const char16_t c : text) {
                bytes.push_back(c == u'Ж' ? '\xC6' : static_cast<char>(c));
            }
            return bytes;
        }};
    IniText text(upper);
    text.SetString(u"s", u"k", u"Ж");
    EXPECT_EQ(text.Serialize(), "[s]\r\nk=\xC6\r\n\r\n");
}

TEST(IniText, Utf8WithByteOrderMarkKeepsItAndItsText) {
    const std::string input = "\xEF\xBB\xBF[options]\r\nName=\xD0\xA2\xD0\xB5\xD1\x81\xD1\x82\r\n";
    IniText text = IniText::Parse(input);
    EXPECT_EQ(text.ReadString(u"options", u"Name"), u"Тест");
    text.SetString(u"options", u"Other", u"Жук");
    SetInitialOptions(text);
    EXPECT_EQ(text.Serialize(),
              "\xEF\xBB\xBF[options]\r\nName=\xD0\xA2\xD0\xB5\xD1\x81\xD1\x82\r\n"
              "Other=\xD0\x96\xD1\x83\xD0\xBA\r\nFilterType=0\r\nHardwareType=1\r\n\r\n");
}

TEST(IniText, Utf16LittleEndianRoundTripKeepsMarkAndEncoding) {
    const std::u16string original = u"[Опции]\r\nИмя=Значение\r\n[options]\r\nFilterType=5\r\n";
    IniText text = IniText::Parse(Utf16LE(original));
    SetInitialOptions(text);
    EXPECT_EQ(text.Serialize(), Utf16LE(u"[Опции]\r\nИмя=Значение\r\n\r\n"
                                        u"[options]\r\nFilterType=0\r\nHardwareType=1\r\n\r\n"));
}

TEST(IniText, Utf16BigEndianRoundTripKeepsMarkAndEncoding) {
    IniText text = IniText::Parse(Utf16BE(u"[Common]\r\nDisk=Я\r\n"));
    EXPECT_EQ(text.ReadString(u"common", u"disk"), u"Я");
    text.SetString(u"Common", u"Disk", u"I");
    EXPECT_EQ(text.Serialize(), Utf16BE(u"[Common]\r\nDisk=I\r\n\r\n"));
}

TEST(IniText, Utf16KeepsUnpairedSurrogatesAndDropsAnOddLastByte) {
    const std::u16string original = u"[s]\r\nk=\xD800x\r\n";
    const IniText text = IniText::Parse(Utf16LE(original) + "\x41"s);
    EXPECT_EQ(text.Serialize(), Utf16LE(original + u"\r\n"));
}

TEST(IniText, EmptyInputGivesNoSections) {
    EXPECT_EQ(IniText::Parse("").Serialize(), "");
    EXPECT_EQ(IniText::Parse("\xFF\xFE"s).Serialize(), "\xFF\xFE"s);
    EXPECT_EQ(IniText::Parse(";only a comment\r\n").Serialize(), "");
}

} // namespace
