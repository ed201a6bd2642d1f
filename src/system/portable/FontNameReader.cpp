#include "system/portable/FontNameReader.h"

#include <optional>

namespace sys {

namespace {

constexpr std::uint32_t MakeTag(char a, char b, char c, char d) {
    return (static_cast<std::uint32_t>(static_cast<unsigned char>(a)) << 24) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 16) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 8) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(d));
}

constexpr std::uint32_t kCollectionTag = MakeTag('t', 't', 'c', 'f');
constexpr std::uint32_t kNameTag = MakeTag('n', 'a', 'm', 'e');
constexpr std::uint32_t kTrueTypeVersion = 0x00010000;
constexpr std::uint32_t kAppleTrueTypeVersion = MakeTag('t', 'r', 'u', 'e');
constexpr std::uint32_t kOpenTypeCffVersion = MakeTag('O', 'T', 'T', 'O');

constexpr std::size_t kOffsetTableSize = 12;
constexpr std::size_t kTableRecordSize = 16;
constexpr std::size_t kCollectionHeaderSize = 16; // tag, version, count, first offset
constexpr std::size_t kNameHeaderSize = 6;
constexpr std::size_t kNameRecordSize = 12;

constexpr std::uint16_t kWindowsPlatform = 3;
constexpr std::uint16_t kUnicodeBmpEncoding = 1;
constexpr std::uint16_t kUnicodeFullEncoding = 10;
constexpr std::uint16_t kFullNameId = 4;
constexpr std::uint16_t kEnglishUnitedStates = 0x0409;

// A part of the buffer; Contains() keeps every read inside it.
struct Range {
    std::size_t offset = 0;
    std::size_t length = 0;

    bool Contains(std::size_t at, std::size_t count) const {
        return at >= offset && at - offset <= length && count <= length - (at - offset);
    }
};

// Big-endian reads, each checked against the range it must stay in.
class BigEndianView {
  public:
    BigEndianView(const std::uint8_t* data, std::size_t size) : data_(data), whole_{0, size} {}

    const Range& Whole() const { return whole_; }

    std::optional<std::uint16_t> U16(const Range& within, std::size_t at) const {
        if (!within.Contains(at, 2) || !whole_.Contains(at, 2)) {
            return std::nullopt;
        }
        return static_cast<std::uint16_t>((data_[at] << 8) | data_[at + 1]);
    }

    std::optional<std::uint32_t> U32(const Range& within, std::size_t at) const {
        const auto high = U16(within, at);
        const auto low = U16(within, at + 2);
        if (!high || !low) {
            return std::nullopt;
        }
        return (static_cast<std::uint32_t>(*high) << 16) | *low;
    }

    // UTF-16BE text up to its first NUL.
    std::u16string Utf16(std::size_t at, std::size_t byteCount) const {
        std::u16string text;
        for (std::size_t i = 0; i + 1 < byteCount; i += 2) {
            const auto unit = static_cast<char16_t>((data_[at + i] << 8) | data_[at + i + 1]);
            if (unit == u'\0') {
                break;
            }
            text.push_back(unit);
        }
        return text;
    }

  private:
    const std::uint8_t* data_;
    Range whole_;
};

bool IsSfntVersion(std::uint32_t version) {
    return version == kTrueTypeVersion || version == kAppleTrueTypeVersion ||
           version == kOpenTypeCffVersion;
}

// Where the font's offset table starts: at the beginning, or for a
// collection at its first font's offset.
std::optional<std::size_t> FindOffsetTable(const BigEndianView& view) {
    const auto tag = view.U32(view.Whole(), 0);
    if (!tag) {
        return std::nullopt;
    }
    if (*tag != kCollectionTag) {
        return IsSfntVersion(*tag) ? std::optional<std::size_t>(0) : std::nullopt;
    }
    if (!view.Whole().Contains(0, kCollectionHeaderSize)) {
        return std::nullopt;
    }
    const auto fontCount = view.U32(view.Whole(), 8);
    const auto firstFont = view.U32(view.Whole(), 12);
    if (!fontCount || *fontCount == 0 || !firstFont) {
        return std::nullopt;
    }
    const auto version = view.U32(view.Whole(), *firstFont);
    if (!version || !IsSfntVersion(*version)) {
        return std::nullopt;
    }
    return *firstFont;
}

std::optional<Range> FindNameTable(const BigEndianView& view, std::size_t offsetTable) {
    const auto tableCount = view.U16(view.Whole(), offsetTable + 4);
    if (!tableCount) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < *tableCount; ++i) {
        const std::size_t record = offsetTable + kOffsetTableSize + i * kTableRecordSize;
        const auto tag = view.U32(view.Whole(), record);
        const auto offset = view.U32(view.Whole(), record + 8);
        const auto length = view.U32(view.Whole(), record + 12);
        if (!tag || !offset || !length) {
            return std::nullopt;
        }
        if (*tag == kNameTag) {
            const Range table{*offset, *length};
            if (!view.Whole().Contains(table.offset, table.length)) {
                return std::nullopt;
            }
            return table;
        }
    }
    return std::nullopt;
}

struct NameRecord {
    std::uint16_t platform = 0;
    std::uint16_t encoding = 0;
    std::uint16_t language = 0;
    std::uint16_t nameId = 0;
    std::uint16_t length = 0;
    std::uint16_t offset = 0;
};

std::optional<NameRecord> ReadNameRecord(const BigEndianView& view, const Range& table,
                                         std::size_t at) {
    if (!table.Contains(at, kNameRecordSize)) {
        return std::nullopt;
    }
    return NameRecord{*view.U16(table, at),     *view.U16(table, at + 2),
                      *view.U16(table, at + 4), *view.U16(table, at + 6),
                      *view.U16(table, at + 8), *view.U16(table, at + 10)};
}

bool IsWindowsFullName(const NameRecord& record) {
    return record.platform == kWindowsPlatform && record.nameId == kFullNameId &&
           (record.encoding == kUnicodeBmpEncoding || record.encoding == kUnicodeFullEncoding);
}

// The record's text, or empty when its string lies outside the table or
// has an odd length.
std::u16string RecordText(const BigEndianView& view, const Range& table, std::size_t storage,
                          const NameRecord& record) {
    const std::size_t at = storage + record.offset;
    if (record.length % 2 != 0 || !table.Contains(at, record.length)) {
        return {};
    }
    return view.Utf16(at, record.length);
}

std::u16string ReadFullNameFromTable(const BigEndianView& view, const Range& table) {
    if (!table.Contains(table.offset, kNameHeaderSize)) {
        return {};
    }
    const std::uint16_t count = *view.U16(table, table.offset + 2);
    const std::size_t storage = table.offset + *view.U16(table, table.offset + 4);
    std::u16string firstFound;
    for (std::size_t i = 0; i < count; ++i) {
        const auto record =
            ReadNameRecord(view, table, table.offset + kNameHeaderSize + i * kNameRecordSize);
        if (!record) {
            break;
        }
        if (!IsWindowsFullName(*record)) {
            continue;
        }
        std::u16string text = RecordText(view, table, storage, *record);
        if (text.empty()) {
            continue;
        }
        if (record->language == kEnglishUnitedStates) {
            return text;
        }
        if (firstFound.empty()) {
            firstFound = std::move(text);
        }
    }
    return firstFound;
}

} // namespace

std::u16string ReadFontFullName(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr) {
        return {};
    }
    const BigEndianView view(data, size);
    const auto offsetTable = FindOffsetTable(view);
    if (!offsetTable) {
        return {};
    }
    const auto nameTable = FindNameTable(view, *offsetTable);
    if (!nameTable) {
        return {};
    }
    return ReadFullNameFromTable(view, *nameTable);
}

} // namespace sys
