// ShellCopyDir: copies a whole directory with the shell's file operation.
//
// The directory itself is the object copied (no wildcard): to a destination
// that does not exist yet it is copied under that name; into one that
// exists it is copied as a subdirectory, as the shell does.
//
// Flags: the shell shows its own progress window and its own error reports,
// but is told not to ask before replacing files or creating folders
// (FOF_NOCONFIRMATION, FOF_NOCONFIRMMKDIR): the user has already agreed to
// the copy, and a question in the middle of the install run would hold the
// run until answered. FOF_FILESONLY is left out: it only matters with a
// wildcard on Windows, while Wine applies it to a plain directory too and
// then drops every subdirectory.
#include "shared/ShellCopyDir.h"

#include <windows.h>

#include <shellapi.h>

namespace shared {

namespace {

// The path without one trailing backslash, ended by two NUL characters as
// the shell's path lists are.
std::wstring ShellPathList(std::wstring path) {
    if (!path.empty() && path.back() == L'\\') {
        path.pop_back();
    }
    path.push_back(L'\0');
    return path;
}

} // namespace

bool ShellCopyDir(const std::wstring& source, const std::wstring& destination) {
    const std::wstring from = ShellPathList(source);
    const std::wstring to = ShellPathList(destination);
    SHFILEOPSTRUCTW operation{};
    operation.hwnd = nullptr;
    operation.wFunc = FO_COPY;
    operation.pFrom = from.c_str();
    operation.pTo = to.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR;
    return SHFileOperationW(&operation) == 0;
}

} // namespace shared
