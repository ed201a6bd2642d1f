#pragma once
// Command lines and working directories of the programs the installer
// starts. No Windows calls: plain text rules.
#include <string>
#include <string_view>

namespace install {

// The command line RunProgram hands to the system. A line that begins with a
// double quote already names its program in quotes and passes unchanged; any
// other line is one program path without arguments and is put in double
// quotes, so that a path with blanks ("C:\Program Files\...") never starts a
// program named by its first word.
std::wstring QuotedCommandLine(std::wstring_view commandLine);

// The command line RunInOwnDir hands to the system: the quoted program path,
// one blank and the parameters (with empty parameters the line ends in the
// blank).
std::wstring ProgramCommandLine(std::wstring_view programPath, std::wstring_view parameters);

} // namespace install
