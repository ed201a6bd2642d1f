#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "TestFontBuilder.h"
#include "system/portable/FontNameReader.h"

using sys::ReadFontFullName;

namespace {

std::u16string Read(const std::vector<std::uint8_t>& bytes) {
    return ReadFontFullName(bytes.data(), bytes.size());
}

std::vector<std::uint8_t> ReadHostFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TestNameRecord Windows(std::u16string text, std::uint16_t language = 0x0409) {
    return {3, 1, language, 4, std::move(text)};
}

TEST(FontNameReader, ReadsFullNamesOfHostFonts) {
    const struct {
        const char* path;
        std::u16string fullName;
    } fonts[] = {
        {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", u"DejaVu Sans"},
        {"/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf", u"DejaVu Sans Mono Bold"},
        {"/usr/share/fonts/truetype/liberation/LiberationMono-Bold.ttf", u"Liberation Mono Bold"},
    };
    for (const auto& font : fonts) {
        const std::vector<std::uint8_t> bytes = ReadHostFile(font.path);
        ASSERT_FALSE(bytes.empty()) << font.path;
        EXPECT_EQ(Read(bytes), font.fullName) << font.path;
    }
}

TEST(FontNameReader, ReadsTheOnlyWindowsFullName) {
    EXPECT_EQ(Read(BuildTestFont({Windows(u"Тестовый Шрифт")}).bytes), u"Тестовый Шрифт");
}

TEST(FontNameReader, AcceptsTrueTypeAndOpenTypeSignatures) {
    for (std::uint32_t version : {0x00010000u, 0x4F54544Fu /* OTTO */, 0x74727565u /* true */}) {
        EXPECT_EQ(Read(BuildTestFont({Windows(u"Sig")}, version).bytes), u"Sig") << version;
    }
    EXPECT_EQ(Read(BuildTestFont({Windows(u"Sig")}, 0x12345678u).bytes), u"");
}

TEST(FontNameReader, PrefersEnglishUnitedStates) {
    const TestFont font = BuildTestFont({
        Windows(u"Шрифт", 0x0419),
        {1, 0, 0, 4, u"Mac Name"},
        Windows(u"English Name", 0x0409),
        Windows(u"Deutscher Name", 0x0407),
    });
    EXPECT_EQ(Read(font.bytes), u"English Name");
}

TEST(FontNameReader, TakesTheFirstWindowsRecordWithoutEnglishUnitedStates) {
    const TestFont font = BuildTestFont({
        {1, 0, 0, 4, u"Mac Name"},
        {3, 1, 0x0419, 1, u"Family only"},
        Windows(u"Первый", 0x0419),
        Windows(u"Zweiter", 0x0407),
    });
    EXPECT_EQ(Read(font.bytes), u"Первый");
}

TEST(FontNameReader, AcceptsTheFullUnicodeEncodingOnly) {
    EXPECT_EQ(Read(BuildTestFont({{3, 10, 0x0409, 4, u"Full Repertoire"}}).bytes),
              u"Full Repertoire");
    EXPECT_EQ(Read(BuildTestFont({{3, 3, 0x0409, 4, u"Big5"}}).bytes), u"");
}

TEST(FontNameReader, GivesEmptyWithoutWindowsFullName) {
    const TestFont font = BuildTestFont({
        {1, 0, 0, 4, u"Mac Name"},
        {0, 3, 0, 4, u"Unicode platform"},
        {3, 1, 0x0409, 1, u"Family"},
        {3, 1, 0x0409, 6, u"PostScript"},
    });
    EXPECT_EQ(Read(font.bytes), u"");
    EXPECT_EQ(Read(BuildTestFont({}).bytes), u"");
}

TEST(FontNameReader, StopsAtAnEmbeddedNulAndSkipsEmptyNames) {
    EXPECT_EQ(Read(BuildTestFont({Windows(std::u16string(u"Cut\0Off", 7))}).bytes), u"Cut");
    EXPECT_EQ(Read(BuildTestFont({Windows(u""), Windows(u"Second", 0x0419)}).bytes), u"Second");
    EXPECT_EQ(Read(BuildTestFont({Windows(std::u16string(u"\0Hidden", 7))}).bytes), u"");
}

TEST(FontNameReader, EveryTruncationIsRefused) {
    const TestFont font = BuildTestFont({Windows(u"Whole")});
    ASSERT_EQ(Read(font.bytes), u"Whole");
    for (std::size_t size = 0; size < font.bytes.size(); ++size) {
        // A heap copy of exactly `size` bytes, so that a read past it is caught.
        const std::vector<std::uint8_t> cut(font.bytes.begin(),
                                            font.bytes.begin() + static_cast<long>(size));
        EXPECT_EQ(Read(cut), u"") << size;
    }
    EXPECT_EQ(ReadFontFullName(nullptr, 100), u"");
}

TEST(FontNameReader, RefusesTablesOutsideTheFile) {
    TestFont pastEnd = BuildTestFont({Windows(u"Name")});
    pastEnd.PutU32(pastEnd.nameDirectoryRecord + 8, 0xFFFFFFF0u);
    EXPECT_EQ(Read(pastEnd.bytes), u"");

    TestFont tooLong = BuildTestFont({Windows(u"Name")});
    tooLong.PutU32(tooLong.nameDirectoryRecord + 12, 0xFFFFFFFFu);
    EXPECT_EQ(Read(tooLong.bytes), u"");

    TestFont tooManyTables = BuildTestFont({Windows(u"Name")});
    tooManyTables.PutU16(4, 0xFFFF);
    tooManyTables.PutU32(tooManyTables.nameDirectoryRecord, 0x6B65726E); // 'kern': name is gone
    EXPECT_EQ(Read(tooManyTables.bytes), u"");

    TestFont tooManyRecords = BuildTestFont({Windows(u"Name", 0x0419)});
    tooManyRecords.PutU16(tooManyRecords.nameTableOffset + 2, 0xFFFF);
    EXPECT_EQ(Read(tooManyRecords.bytes), u"Name");
}

TEST(FontNameReader, SkipsStringsOutsideTheNameTable) {
    const std::vector<TestNameRecord> records = {Windows(u"Broken"), Windows(u"Sound", 0x0419)};

    TestFont offsetPastEnd = BuildTestFont(records);
    offsetPastEnd.PutU16(offsetPastEnd.NameRecordField(0, kRecordOffset), 0xFFFE);
    EXPECT_EQ(Read(offsetPastEnd.bytes), u"Sound");

    TestFont lengthPastEnd = BuildTestFont(records);
    lengthPastEnd.PutU16(lengthPastEnd.NameRecordField(0, kRecordLength), 0x1000);
    EXPECT_EQ(Read(lengthPastEnd.bytes), u"Sound");

    TestFont storagePastEnd = BuildTestFont(records);
    storagePastEnd.PutU16(storagePastEnd.nameTableOffset + 4, 0xFFFF);
    EXPECT_EQ(Read(storagePastEnd.bytes), u"");
}

TEST(FontNameReader, SkipsOddLengths) {
    TestFont font = BuildTestFont({Windows(u"Odd"), Windows(u"Even", 0x0419)});
    font.PutU16(font.NameRecordField(0, kRecordLength), 5);
    EXPECT_EQ(Read(font.bytes), u"Even");
}

TEST(FontNameReader, ReadsTheFirstFontOfACollection) {
    EXPECT_EQ(Read(BuildTestCollection({Windows(u"Collected")}, 2)), u"Collected");
    EXPECT_EQ(Read(BuildTestCollection({Windows(u"Collected")}, 0)), u"");

    std::vector<std::uint8_t> nested = BuildTestCollection({Windows(u"Collected")}, 1);
    nested[16] = 't'; // the first font claims to be a collection itself
    nested[17] = 't';
    nested[18] = 'c';
    nested[19] = 'f';
    EXPECT_EQ(Read(nested), u"");

    std::vector<std::uint8_t> firstFontPastEnd = BuildTestCollection({Windows(u"Collected")}, 1);
    firstFontPastEnd[12] = 0x7F;
    EXPECT_EQ(Read(firstFontPastEnd), u"");
}

TEST(FontNameReader, RefusesOtherFiles) {
    const std::string text = "This is a plain text file, not a font at all.";
    EXPECT_EQ(Read({text.begin(), text.end()}), u"");
    EXPECT_EQ(Read({0x00, 0x01, 0x00, 0x00}), u"");
}

} // namespace
