#pragma once
// Files written whole: the content goes to a temporary file beside the
// destination, which is then moved over the old file in one step. A failure
// leaves the old file as it was (or no file), never a truncated one.
#include <functional>
#include <string>
#include <string_view>
#include <vector>
#include <windows.h>

#include "base/Handles.h"
#include "base/SysResult.h"

namespace files {

// The names of the installer's temporary files: "~vestar<process>-<n>.tmp".
// True for a name (without directory) of that pattern and no other.
bool IsInstallerTempName(std::wstring_view name);

// Deletes the installer's temporary files in `directory` (ending in a
// backslash or not) that an interrupted run left there. A file still open
// (another run in progress) cannot be deleted and stays.
void RemoveStaleTempFiles(const std::wstring& directory);

// Makes the next temporary file in each directory remove that directory's
// stale ones again: called when a new run begins.
void SweepStaleTempFilesAgain();

// Full paths to keep a replaced file under, for attempts 1, 2, ...: the
// first name not yet taken is used.
using BackupNamer = std::function<std::wstring(int attempt)>;

// A temporary file in the destination's directory: Create makes it new and
// empty, opened for reading and writing without sharing. Deleted on
// destruction unless it was moved into place. The first one a run makes in
// a directory removes that directory's stale temporary files before.
class TempFileBeside {
  public:
    // With `allowWriteBack`, the file may take one more handle for writing:
    // the one OpenWriteBack gives.
    explicit TempFileBeside(const std::wstring& destination, bool allowWriteBack = false);
    ~TempFileBeside();
    TempFileBeside(const TempFileBeside&) = delete;
    TempFileBeside& operator=(const TempFileBeside&) = delete;

    // Creates the file under the first free temporary name.
    base::SysResult Create();
    HANDLE handle() const { return handle_.get(); }
    // Writes the file's data through to the disk.
    base::SysResult Flush();
    // A second handle of the file for flushing it while it is written; null
    // when the file was not created to allow it or cannot be opened again.
    base::UniqueHandle OpenWriteBack() const;
    // Closes the file and moves it over the destination (replacing an
    // existing file only when `replace`).
    base::SysResult MoveIntoPlace(bool replace);
    // Closes the file; an existing destination is renamed to the first free
    // name of `backupName`, and the file moved into its place right after.
    // `keptPath` gets the name the destination was kept under (empty when
    // there was none). On an error the destination is left at its name.
    base::SysResult MoveIntoPlaceKeeping(const BackupNamer& backupName, std::wstring& keptPath);

  private:
    std::wstring destination_;
    std::wstring path_;
    base::UniqueHandle handle_;
    bool moved_ = false;
    bool allowWriteBack_ = false;
};

// Whether an existing file at `path` may be replaced by a file of normal
// attributes: success when it may (or does not exist), otherwise the error
// code Windows gives for opening it to overwrite or rename. Read-only, hidden and
// system files and directories give ERROR_ACCESS_DENIED (checked here
// because Wine running as root overwrites them); a file in use (even one
// opened with read and write sharing but not delete sharing) gives the
// sharing error.
base::SysResult CheckReplaceable(const std::wstring& path);

// Writes `bytes` as the whole new content of `path`. Raises "Cannot create
// file" with the path when the file cannot be replaced or written.
void WriteWholeFile(const std::wstring& path, const std::vector<BYTE>& bytes);

// Writes `bytes` as a new file at `path` when no file of that name exists.
// Reports nothing; false when nothing was written.
bool WriteNewFileQuietly(const std::wstring& path, const std::vector<BYTE>& bytes);

} // namespace files
