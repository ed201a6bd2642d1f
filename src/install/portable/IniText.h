#pragma once
// The profile (INI) text of the settings files the installer writes: read
// from the file's bytes, keys set in memory, written back whole.
//
// Text form: a section begins with its name in square brackets; the lines
// after it, up to the next section, belong to it; a key's line is the key,
// "=" and the value. Section and key names match without regard to letter
// case (ASCII letters; other characters must match exactly, which is all the
// installer's own names need).
//
// What is kept: every section, in order, with the letter case of its name,
// and every line of it, trimmed and with the blanks around the first "="
// removed. What is dropped: comment lines (first non-blank character ";"),
// empty lines and the lines before the first section.
//
// The encoding follows the byte-order mark: UTF-8, UTF-16LE or UTF-16BE;
// without one the text is in the system's 8-bit code page, whose bytes are
// kept as they are. The text is written back in the encoding it was read in,
// byte-order mark included; a new text has none and is 8-bit.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace install {

enum class IniEncoding { Ansi, Utf8, Utf16LE, Utf16BE };

// UTF-8 of UTF-16 text; a surrogate without its partner becomes U+FFFD.
std::string Utf8Of(std::u16string_view text);

// How text of the system's 8-bit code page converts to UTF-16 and back; used
// only for the names and values the caller sets or reads.
struct AnsiCodePage {
    std::function<std::u16string(std::string_view)> decode;
    std::function<std::string(std::u16string_view)> encode;
};

// Byte b as U+00bb and back; characters above U+00FF become "?".
AnsiCodePage Latin1CodePage();

class IniText {
  public:
    // An empty 8-bit text without sections.
    explicit IniText(AnsiCodePage ansi = Latin1CodePage());

    // The text held in a file's bytes.
    static IniText Parse(std::string_view bytes, AnsiCodePage ansi = Latin1CodePage());

    // Sets a key: an existing key's line is replaced in its place by the key
    // as spelt here, "=" and the value; a missing key is added at the end of
    // its section; a missing section is added after the last one. An existing
    // section keeps the letter case of its name.
    void SetString(std::u16string_view section, std::u16string_view key, std::u16string_view value);
    void SetInteger(std::u16string_view section, std::u16string_view key, long long value);

    // The value of a key, or nothing when the section or key is missing.
    std::optional<std::u16string> ReadString(std::u16string_view section,
                                             std::u16string_view key) const;

    // The whole text as a file's bytes: for each section "[" name "]", its
    // lines and one empty line, every line ended by CR LF; the byte-order
    // mark of the encoding first.
    std::string Serialize() const;

  private:
    // A line in the code units of the encoding: bytes for the 8-bit
    // encodings, UTF-16 units otherwise.
    using Units = std::u16string;
    struct Section {
        Units name;
        std::vector<Units> lines;
    };

    Units ToUnits(std::u16string_view text) const;
    std::u16string FromUnits(const Units& units) const;
    Section* FindSection(const Units& name);
    const Section* FindSection(const Units& name) const;

    AnsiCodePage ansi_;
    IniEncoding encoding_ = IniEncoding::Ansi;
    std::vector<Section> sections_;
};

} // namespace install
