#include "install/portable/IniText.h"

#include <algorithm>

namespace install {

namespace {

using Units = std::u16string;

constexpr char16_t kCarriageReturn = u'\r';
constexpr char16_t kLineFeed = u'\n';

// Blanks as the profile reader trims them: every code unit up to the space.
bool IsBlank(char16_t unit) {
    return unit <= u' ';
}

Units Trimmed(std::u16string_view units) {
    const auto first = std::find_if_not(units.begin(), units.end(), IsBlank);
    const auto last = std::find_if_not(units.rbegin(), units.rend(), IsBlank).base();
    return first < last ? Units(first, last) : Units();
}

char16_t AsciiLower(char16_t unit) {
    return (unit >= u'A' && unit <= u'Z') ? static_cast<char16_t>(unit - u'A' + u'a') : unit;
}

bool SameName(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char16_t x, char16_t y) { return AsciiLower(x) == AsciiLower(y); });
}

// The key of a line: what comes before its first "=", or nothing.
std::optional<std::u16string_view> KeyOf(const Units& line) {
    const std::size_t equals = line.find(u'=');
    if (equals == Units::npos) {
        return std::nullopt;
    }
    return std::u16string_view(line).substr(0, equals);
}

bool StartsWith(std::string_view bytes, std::string_view prefix) {
    return bytes.substr(0, prefix.size()) == prefix;
}

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LEBom = "\xFF\xFE";
constexpr std::string_view kUtf16BEBom = "\xFE\xFF";

IniEncoding DetectEncoding(std::string_view bytes) {
    if (StartsWith(bytes, kUtf8Bom)) {
        return IniEncoding::Utf8;
    }
    if (StartsWith(bytes, kUtf16LEBom)) {
        return IniEncoding::Utf16LE;
    }
    if (StartsWith(bytes, kUtf16BEBom)) {
        return IniEncoding::Utf16BE;
    }
    return IniEncoding::Ansi;
}

std::string_view BomOf(IniEncoding encoding) {
    switch (encoding) {
    case IniEncoding::Utf8:
        return kUtf8Bom;
    case IniEncoding::Utf16LE:
        return kUtf16LEBom;
    case IniEncoding::Utf16BE:
        return kUtf16BEBom;
    case IniEncoding::Ansi:
        break;
    }
    return {};
}

bool IsWide(IniEncoding encoding) {
    return encoding == IniEncoding::Utf16LE || encoding == IniEncoding::Utf16BE;
}

// The code units of the bytes after the byte-order mark. A last odd byte of
// a UTF-16 text is no unit and is left out.
Units UnitsOf(std::string_view bytes, IniEncoding encoding) {
    Units units;
    if (!IsWide(encoding)) {
        units.reserve(bytes.size());
        for (const char byte : bytes) {
            units.push_back(static_cast<unsigned char>(byte));
        }
        return units;
    }
    const bool little = encoding == IniEncoding::Utf16LE;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        units.push_back(little ? static_cast<char16_t>(first | (second << 8))
                               : static_cast<char16_t>((first << 8) | second));
    }
    return units;
}

void AppendBytes(std::string& out, const Units& units, IniEncoding encoding) {
    for (const char16_t unit : units) {
        const char low = static_cast<char>(unit & 0xFF);
        const char high = static_cast<char>(unit >> 8);
        if (encoding == IniEncoding::Utf16LE) {
            out.push_back(low);
            out.push_back(high);
        } else if (encoding == IniEncoding::Utf16BE) {
            out.push_back(high);
            out.push_back(low);
        } else {
            out.push_back(low);
        }
    }
}

// Lines end at CR LF, CR or LF.
std::vector<Units> SplitLines(const Units& units) {
    std::vector<Units> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < units.size(); ++i) {
        if (units[i] != kCarriageReturn && units[i] != kLineFeed) {
            continue;
        }
        lines.emplace_back(units, start, i - start);
        if (units[i] == kCarriageReturn && i + 1 < units.size() && units[i + 1] == kLineFeed) {
            ++i;
        }
        start = i + 1;
    }
    if (start < units.size()) {
        lines.emplace_back(units, start, units.size() - start);
    }
    return lines;
}

bool IsSectionLine(const Units& trimmed) {
    return trimmed.size() >= 2 && trimmed.front() == u'[' && trimmed.back() == u']';
}

// A key's line with the blanks around its first "=" removed.
Units NormalisedLine(const Units& trimmed) {
    const std::size_t equals = trimmed.find(u'=');
    if (equals == Units::npos) {
        return trimmed;
    }
    const std::u16string_view line(trimmed);
    return Trimmed(line.substr(0, equals)) + u'=' + Trimmed(line.substr(equals + 1));
}

void AppendUtf16(std::u16string& out, char32_t code) {
    if (code < 0x10000) {
        out.push_back(static_cast<char16_t>(code));
        return;
    }
    code -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
}

// UTF-8 to UTF-16; a byte that does not begin a well-formed sequence gives
// U+FFFD.
std::u16string Utf16OfUtf8(std::string_view bytes) {
    std::u16string out;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const int length = lead < 0x80           ? 1
                           : (lead >> 5) == 0x6  ? 2
                           : (lead >> 4) == 0xE  ? 3
                           : (lead >> 3) == 0x1E ? 4
                                                 : 0;
        if (length == 1) {
            out.push_back(lead);
            ++i;
            continue;
        }
        char32_t code = length == 0 ? 0 : lead & (0x7F >> length);
        bool wellFormed = length != 0 && i + length <= bytes.size();
        for (int k = 1; wellFormed && k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            wellFormed = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        if (!wellFormed || code > 0x10FFFF) {
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        AppendUtf16(out, code);
        i += static_cast<std::size_t>(length);
    }
    return out;
}

Units UnitsOfBytes(std::string_view bytes) {
    return UnitsOf(bytes, IniEncoding::Ansi);
}

std::string BytesOfUnits(const Units& units) {
    std::string bytes;
    AppendBytes(bytes, units, IniEncoding::Ansi);
    return bytes;
}

} // namespace

std::string Utf8Of(std::u16string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t code = text[i];
        const bool high = code >= 0xD800 && code <= 0xDBFF;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            code = 0xFFFD; // a surrogate without its partner
        }
        if (code < 0x80) {
            out.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (code >> 6)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (code >> 12)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (code >> 18)));
            out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    return out;
}

AnsiCodePage Latin1CodePage() {
    return AnsiCodePage{[](std::string_view bytes) { return UnitsOfBytes(bytes); },
                        [](std::u16string_view text) {
                            std::string bytes;
                            for (const char16_t unit : text) {
                                bytes.push_back(unit <= 0xFF ? static_cast<char>(unit) : '?');
                            }
                            return bytes;
                        }};
}

IniText::IniText(AnsiCodePage ansi) : ansi_(std::move(ansi)) {}

IniText IniText::Parse(std::string_view bytes, AnsiCodePage ansi) {
    IniText text(std::move(ansi));
    text.encoding_ = DetectEncoding(bytes);
    bytes.remove_prefix(BomOf(text.encoding_).size());
    Section* current = nullptr;
    for (const Units& raw : SplitLines(UnitsOf(bytes, text.encoding_))) {
        const Units line = Trimmed(raw);
        if (line.empty() || line.front() == u';') {
            continue;
        }
        if (IsSectionLine(line)) {
            text.sections_.push_back(
                Section{Trimmed(std::u16string_view(line).substr(1, line.size() - 2)), {}});
            current = &text.sections_.back();
        } else if (current != nullptr) {
            current->lines.push_back(NormalisedLine(line));
        }
    }
    return text;
}

IniText::Units IniText::ToUnits(std::u16string_view text) const {
    switch (encoding_) {
    case IniEncoding::Utf16LE:
    case IniEncoding::Utf16BE:
        return Units(text);
    case IniEncoding::Utf8:
        return UnitsOfBytes(Utf8Of(text));
    case IniEncoding::Ansi:
        break;
    }
    return UnitsOfBytes(ansi_.encode(text));
}

std::u16string IniText::FromUnits(const Units& units) const {
    switch (encoding_) {
    case IniEncoding::Utf16LE:
    case IniEncoding::Utf16BE:
        return units;
    case IniEncoding::Utf8:
        return Utf16OfUtf8(BytesOfUnits(units));
    case IniEncoding::Ansi:
        break;
    }
    return ansi_.decode(BytesOfUnits(units));
}

namespace {

// The first section of `sections` whose name matches, or null.
template <typename Sections> auto FirstSectionNamed(Sections& sections, const Units& name) {
    const auto found = std::find_if(sections.begin(), sections.end(),
                                    [&](const auto& s) { return SameName(s.name, name); });
    return found == sections.end() ? nullptr : &*found;
}

} // namespace

IniText::Section* IniText::FindSection(const Units& name) {
    return FirstSectionNamed(sections_, name);
}

const IniText::Section* IniText::FindSection(const Units& name) const {
    return FirstSectionNamed(sections_, name);
}

void IniText::SetString(std::u16string_view section, std::u16string_view key,
                        std::u16string_view value) {
    const Units sectionUnits = ToUnits(section);
    Section* target = FindSection(sectionUnits);
    if (target == nullptr) {
        sections_.push_back(Section{sectionUnits, {}});
        target = &sections_.back();
    }
    const Units keyUnits = ToUnits(key);
    Units line = keyUnits + u'=' + ToUnits(value);
    const auto existing =
        std::find_if(target->lines.begin(), target->lines.end(), [&](const Units& l) {
            const auto lineKey = KeyOf(l);
            return lineKey && SameName(*lineKey, keyUnits);
        });
    if (existing != target->lines.end()) {
        *existing = std::move(line);
    } else {
        target->lines.push_back(std::move(line));
    }
}

void IniText::SetInteger(std::u16string_view section, std::u16string_view key, long long value) {
    const std::string digits = std::to_string(value);
    SetString(section, key, std::u16string(digits.begin(), digits.end()));
}

std::optional<std::u16string> IniText::ReadString(std::u16string_view section,
                                                  std::u16string_view key) const {
    const Section* found = FindSection(ToUnits(section));
    if (found == nullptr) {
        return std::nullopt;
    }
    const Units keyUnits = ToUnits(key);
    for (const Units& line : found->lines) {
        const auto lineKey = KeyOf(line);
        if (lineKey && SameName(*lineKey, keyUnits)) {
            return FromUnits(line.substr(lineKey->size() + 1));
        }
    }
    return std::nullopt;
}

std::string IniText::Serialize() const {
    static const Units lineEnd = u"\r\n";
    std::string out(BomOf(encoding_));
    for (const Section& section : sections_) {
        AppendBytes(out, u'[' + section.name + u']' + lineEnd, encoding_);
        for (const Units& line : section.lines) {
            AppendBytes(out, line + lineEnd, encoding_);
        }
        AppendBytes(out, lineEnd, encoding_);
    }
    return out;
}

} // namespace install
