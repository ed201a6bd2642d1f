#include "TestFontBuilder.h"

namespace {

void AppendU16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
}

void AppendU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    AppendU16(out, static_cast<std::uint16_t>(value >> 16));
    AppendU16(out, static_cast<std::uint16_t>(value & 0xFFFF));
}

void AppendTag(std::vector<std::uint8_t>& out, const char* tag) {
    out.insert(out.end(), tag, tag + 4);
}

std::vector<std::uint8_t> BuildNameTable(const std::vector<TestNameRecord>& records) {
    std::vector<std::uint8_t> table;
    const auto count = static_cast<std::uint16_t>(records.size());
    AppendU16(table, 0);
    AppendU16(table, count);
    AppendU16(table, static_cast<std::uint16_t>(6 + 12 * count));
    std::vector<std::uint8_t> storage;
    for (const TestNameRecord& record : records) {
        AppendU16(table, record.platform);
        AppendU16(table, record.encoding);
        AppendU16(table, record.language);
        AppendU16(table, record.nameId);
        AppendU16(table, static_cast<std::uint16_t>(record.text.size() * 2));
        AppendU16(table, static_cast<std::uint16_t>(storage.size()));
        for (char16_t unit : record.text) {
            AppendU16(storage, unit);
        }
    }
    table.insert(table.end(), storage.begin(), storage.end());
    return table;
}

} // namespace

void TestFont::PutU16(std::size_t at, std::uint16_t value) {
    bytes.at(at) = static_cast<std::uint8_t>(value >> 8);
    bytes.at(at + 1) = static_cast<std::uint8_t>(value & 0xFF);
}

void TestFont::PutU32(std::size_t at, std::uint32_t value) {
    PutU16(at, static_cast<std::uint16_t>(value >> 16));
    PutU16(at + 2, static_cast<std::uint16_t>(value & 0xFFFF));
}

TestFont BuildTestFont(const std::vector<TestNameRecord>& records, std::uint32_t version) {
    const std::vector<std::uint8_t> head = {0, 1, 0, 0};
    const std::vector<std::uint8_t> name = BuildNameTable(records);
    const std::uint32_t headOffset = 12 + 2 * 16;
    const auto nameOffset = static_cast<std::uint32_t>(headOffset + head.size());

    TestFont font;
    AppendU32(font.bytes, version);
    AppendU16(font.bytes, 2); // tables
    AppendU16(font.bytes, 32);
    AppendU16(font.bytes, 1);
    AppendU16(font.bytes, 0);
    AppendTag(font.bytes, "head");
    AppendU32(font.bytes, 0);
    AppendU32(font.bytes, headOffset);
    AppendU32(font.bytes, static_cast<std::uint32_t>(head.size()));
    font.nameDirectoryRecord = font.bytes.size();
    AppendTag(font.bytes, "name");
    AppendU32(font.bytes, 0);
    AppendU32(font.bytes, nameOffset);
    AppendU32(font.bytes, static_cast<std::uint32_t>(name.size()));
    font.bytes.insert(font.bytes.end(), head.begin(), head.end());
    font.bytes.insert(font.bytes.end(), name.begin(), name.end());
    font.nameTableOffset = nameOffset;
    font.stringStorage = nameOffset + 6 + 12 * records.size();
    return font;
}

std::vector<std::uint8_t> BuildTestCollection(const std::vector<TestNameRecord>& records,
                                              std::uint32_t fontCount) {
    const std::uint32_t headerSize = 16;
    TestFont font = BuildTestFont(records);
    // Table offsets in a collection count from the start of the file.
    for (std::size_t record = 12; record < 12 + 2 * 16; record += 16) {
        const std::uint32_t offset = (std::uint32_t{font.bytes[record + 8]} << 24) |
                                     (std::uint32_t{font.bytes[record + 9]} << 16) |
                                     (std::uint32_t{font.bytes[record + 10]} << 8) |
                                     font.bytes[record + 11];
        font.PutU32(record + 8, offset + headerSize);
    }
    std::vector<std::uint8_t> out;
    AppendTag(out, "ttcf");
    AppendU32(out, 0x00010000);
    AppendU32(out, fontCount);
    AppendU32(out, headerSize);
    out.insert(out.end(), font.bytes.begin(), font.bytes.end());
    return out;
}
