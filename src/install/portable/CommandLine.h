#pragma once
// Command lines and working directories of the programs the installer
// starts, and path joining. No Windows calls: plain text rules.
#include <string>
#include <string_view>

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

// The directory a program runs in: its path without the last component and
// without a trailing backslash; a drive's root keeps its backslash ("C:\").
// Empty when the path has no directory part.
std::wstring ProgramDirectory(std::wstring_view programPath);

// `directory` and `name` joined by one backslash; a directory that already
// ends in a backslash (or is empty) gets none added.
std::wstring JoinPath(std::wstring_view directory, std::wstring_view name);
