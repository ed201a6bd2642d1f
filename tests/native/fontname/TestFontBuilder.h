#pragma once
// Builds small TrueType files in memory: an offset table, a dummy 'head'
// table and a 'name' table holding the given records.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct TestNameRecord {
    std::uint16_t platform = 3;
    std::uint16_t encoding = 1;
    std::uint16_t language = 0x0409;
    std::uint16_t nameId = 4;
    std::u16string text;
};

struct TestFont {
    std::vector<std::uint8_t> bytes;
    std::size_t nameTableOffset = 0;     // where the 'name' table starts
    std::size_t nameDirectoryRecord = 0; // the 'name' entry of the table directory
    std::size_t stringStorage = 0;       // where the name strings start

    // The offset field of the n-th name record.
    std::size_t NameRecordField(std::size_t record, std::size_t field) const {
        return nameTableOffset + 6 + record * 12 + field;
    }
    void PutU16(std::size_t at, std::uint16_t value);
    void PutU32(std::size_t at, std::uint32_t value);
};

// Field offsets inside a name record.
constexpr std::size_t kRecordLength = 8;
constexpr std::size_t kRecordOffset = 10;

TestFont BuildTestFont(const std::vector<TestNameRecord>& records,
                       std::uint32_t version = 0x00010000);

// A TrueType collection header that claims `fontCount` fonts, followed by
// one font built from `records` as its first font.
std::vector<std::uint8_t> BuildTestCollection(const std::vector<TestNameRecord>& records,
                                              std::uint32_t fontCount);
