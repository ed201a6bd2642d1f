#pragma once
// What is on the disk at a path.
#include <cstdint>
#include <string>

namespace base {

// True when `path` names an existing file or directory.
bool PathExists(const std::wstring& path);

// True when `path` names an existing directory.
bool DirectoryExists(const std::wstring& path);

// True when `path` names an existing file (not a directory).
bool FileExists(const std::wstring& path);

// The size of the file at `path` in bytes; 0 when it cannot be asked.
std::uint64_t FileSize(const std::wstring& path);

} // namespace base
