#pragma once
// The installer's command-line switches, as deployment tools give them:
// /NAME or /NAME=value, in any letter case and order, a value in double
// quotes when it has blanks. No Windows calls: plain text rules.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace app {

// How much of the installer a person sees.
enum class TRunMode {
    Interactive, // the wizard
    Silent,      // no pages, no questions: only the progress page while the run lasts
    VerySilent   // no window at all
};

struct TSwitches {
    TRunMode mode = TRunMode::Interactive;
    std::optional<std::wstring> dir; // /DIR, as given (checked by the path rules later)
    std::optional<std::wstring> log; // /LOG
    bool driver = false;             // /DRIVER
    bool check = false;              // /CHECK
    bool uninstall = false;          // /UNINSTALL
    bool help = false;               // /? or /HELP
};

struct TSwitchesParse {
    TSwitches switches;
    std::wstring error; // empty when the command line is right
};

// The command line without the program's own name (the text after it).
// Blanks separate arguments except inside double quotes, which are dropped;
// a backslash has no special meaning, so "C:\Holter\" stays as typed.
TSwitchesParse ParseSwitches(std::wstring_view arguments);

// The whole command line as the system gives it, without its first
// argument (the program's path, quoted or not).
std::wstring_view ArgumentsOf(std::wstring_view commandLine);

// The switches as one line for the installation log's header.
std::wstring DescribeSwitches(const TSwitches& switches);

// What the hidden helper that removes an uninstaller after its end is
// given: the uninstaller's process (an inherited handle's value) and file.
struct TRemovalRequest {
    std::uint64_t process = 0;
    std::wstring file;
};

// The helper's command line, "/REMOVEAFTER=<handle> /REMOVEFILE=<file>" and
// nothing else; nothing for any other command line.
std::optional<TRemovalRequest> ParseRemovalRequest(std::wstring_view arguments);

// The text of /? and /HELP: every switch and every exit code.
std::wstring SwitchesHelpText();

} // namespace app
