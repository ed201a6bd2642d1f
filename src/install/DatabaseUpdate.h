#pragma once
// Backups, updater and database: copies the backup and updater trees, runs
// the newest backup's Install.cmd and records its release level.
#include <string>

#include "base/BlockingWork.h"

namespace install {

// Both paths end in a backslash. Raises on the failures that end the run.
// Leaves the process's current directory at the target path. The tree copies
// and the script run through `runBlocking`; the release information, a COM
// document, is written on the calling thread.
void UpdateDatabaseFromBackup(const std::wstring& targetPath, const std::wstring& sourcePath,
                              const base::TRunBlocking& runBlocking);

// Sets ROOT/Level of target + "ReleaseInfo". Raises on any failure.
void WriteReleaseLevel(const std::wstring& target, const std::wstring& level);

// Reads directory + "ReleaseInfo" as WriteReleaseLevel does, changing
// nothing; raises the same errors.
void CheckReleaseInfo(const std::wstring& directory);

} // namespace install
