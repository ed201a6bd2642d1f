#pragma once
// Paths beyond MAX_PATH. A program that is not long-path aware (or runs
// where long paths are not enabled) can name such a path only in the
// extended-length form, which the file functions take as it stands.
#include <string>

namespace base {

// The full path of `path` as the process resolves it now ("." and ".."
// resolved, slashes made backslashes); `path` itself when it cannot be.
std::wstring FullPathOf(const std::wstring& path);

// `path` as the file functions take it at any length: unchanged when it is
// shorter than MAX_PATH or already in the extended-length form, otherwise
// its full path as "\\?\C:\..." or "\\?\UNC\server\share\...".
std::wstring LongPathForm(const std::wstring& path);

} // namespace base
