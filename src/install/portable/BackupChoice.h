#pragma once
// Choice of the newest release backup among the backup directories of an
// installation. A backup directory's name ends in its date as ddmmyy.
#include <functional>
#include <string>
#include <vector>

namespace install {

// Orders two paths: negative, zero or positive.
using PathCompare = std::function<int(const std::wstring&, const std::wstring&)>;

// The date of a backup path as yyyymmdd, from the last six characters ddmmyy.
// Two-digit years 00 to 79 are 2000 to 2079, 80 to 99 are 1980 to 1999.
// Raises "'%s' is not a valid integer value" with the characters rearranged to
// yymmdd when they are not six decimal digits.
int BackupDateKey(const std::wstring& backupPath);

// Sorts the paths with `compare` and gives the one with the newest date; of
// equal dates the first in sorted order. Raises "List index out of bounds (0)"
// for an empty list and the date error of the first bad key met.
std::wstring ChooseNewestBackup(std::vector<std::wstring> backupPaths, const PathCompare& compare);

// The release level of a backup: its directory name without the first character.
std::wstring BackupLevel(const std::wstring& backupPath);

} // namespace install
