#pragma once
// The record of the files the installations placed in a target directory:
// "InstalledFiles.txt" beside Install.log, UTF-8, one path relative to the
// target per line. The uninstall removes what it lists and nothing else, so
// the clinic's data and the suite's own files are never in it.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>
#include <windows.h>

namespace install {

inline constexpr wchar_t kInstalledFilesName[] = L"InstalledFiles.txt";
inline constexpr wchar_t kUninstallerName[] = L"Uninstall.exe";

// The relative paths the record of `target` (ending in a backslash) lists;
// nothing when there is no record (an installation of an older installer).
std::optional<std::vector<std::wstring>> ReadInstalledFiles(const std::wstring& target);

// Writes the record whole (through a temporary file) with `files`; an empty
// list removes the record. 0 or the system's error code.
DWORD WriteInstalledFiles(const std::wstring& target, const std::vector<std::wstring>& files);

// The earlier record with `placed` added (a path in any letter case once).
std::vector<std::wstring> MergeInstalledFiles(std::vector<std::wstring> earlier,
                                              const std::vector<std::wstring>& placed);

// What an install run from `source` placed in `target`, as relative paths of
// files that exist there: the file groups but the database, the backup,
// updater and driver trees as the medium has them, and the uninstaller.
std::vector<std::wstring> FilesPlacedByRun(const std::wstring& target, const std::wstring& source,
                                           int windowsIndex);

// The sum of the sizes of the listed files that exist, in KiB rounded up.
std::uint32_t SizeInKiB(const std::wstring& target, const std::vector<std::wstring>& files);

// Whether two paths name the same file (letter case aside).
bool SamePath(const std::wstring& a, const std::wstring& b);

} // namespace install
