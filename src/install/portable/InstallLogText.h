#pragma once
// The text of the installation log on disk: UTF-8, lines ending in CR LF,
// each line of the run with its local date and time. No Windows calls.
#include <string>
#include <string_view>
#include <vector>

namespace install {

struct TLogStamp {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

struct TLoggedLine {
    TLogStamp time;
    std::wstring text;
    std::wstring cause{}; // why the step the line reports failed; empty: no cause
};

// Whether a block tells of an installation or of an uninstall.
enum class TLogKind { Install, Uninstall };

// One run's block of the log.
struct TInstallLogBlock {
    TLogKind kind = TLogKind::Install;
    TLogStamp started;
    std::wstring version;  // the installer's version
    std::wstring medium;   // the medium's path
    std::wstring target;   // the target path
    std::wstring switches; // the switches as given
    std::vector<TLoggedLine> lines;
    std::wstring errorReport; // the error report's text when a raised error ended the run
    int exitCode = 0;
};

// "dd.mm.yyyy hh:mm:ss".
std::wstring FormatStamp(const TLogStamp& time);

// UTF-8 of UTF-16 (or UTF-32) text; an unpaired surrogate becomes U+FFFD.
std::string ToUtf8(std::wstring_view text);

// Line breaks of any kind (CR LF, a lone CR or LF) as CR LF.
std::wstring WithCrLf(std::wstring_view text);

// The block as UTF-8 bytes ending in CR LF, without a byte-order mark.
std::string FormatInstallLog(const TInstallLogBlock& block);

// The byte-order mark that begins every log file.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

} // namespace install
