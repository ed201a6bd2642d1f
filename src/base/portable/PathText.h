#pragma once
// Paths as text: no Windows calls, no look at the disk.
#include <string>
#include <string_view>

namespace base {

// The directory part of a path: the path without its last component and
// without a trailing backslash; a drive's root keeps its backslash ("C:\").
// Empty when the path has no directory part. The one helper for "directory
// of a path": a caller that needs the trailing backslash adds it with
// JoinPath(ParentDirectory(path), L"").
std::wstring ParentDirectory(std::wstring_view path);

// `directory` and `name` joined by one backslash; a directory that already
// ends in a backslash, a bare drive ("C:", whose relative paths follow the
// colon) and an empty directory get none added.
std::wstring JoinPath(std::wstring_view directory, std::wstring_view name);

} // namespace base
