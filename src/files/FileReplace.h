#pragma once
// Files written whole: the content goes to a temporary file beside the
// destination, which is then moved over the old file in one step. A failure
// leaves the old file as it was (or no file), never a truncated one.
#include <string>
#include <vector>
#include <windows.h>

#include "base/Handles.h"

// A new, empty temporary file in the destination's directory, opened for
// reading and writing without sharing. Deleted on destruction unless it was
// moved into place.
class TempFileBeside {
  public:
    // Creates the file; `error()` is nonzero when it could not be created.
    explicit TempFileBeside(const std::wstring& destination);
    ~TempFileBeside();
    TempFileBeside(const TempFileBeside&) = delete;
    TempFileBeside& operator=(const TempFileBeside&) = delete;

    DWORD error() const { return error_; }
    HANDLE handle() const { return handle_.get(); }
    // Writes the file's data through to the disk. 0 or the error code.
    DWORD Flush();
    // Closes the file and moves it over the destination (replacing an
    // existing file only when `replace`). 0 or the error code.
    DWORD MoveIntoPlace(bool replace);

  private:
    std::wstring destination_;
    std::wstring path_;
    UniqueHandle handle_;
    DWORD error_ = 0;
    bool moved_ = false;
};

// Whether an existing file at `path` may be replaced by a file of normal
// attributes: 0 when it may (or does not exist), otherwise the error code
// Windows gives for opening it to overwrite. Read-only, hidden and system
// files and directories give ERROR_ACCESS_DENIED (checked here because Wine
// running as root overwrites them); a file in use gives the sharing error.
DWORD CheckReplaceable(const std::wstring& path);

// Writes `bytes` as the whole new content of `path`. Raises "Cannot create
// file" with the path when the file cannot be replaced or written.
void WriteWholeFile(const std::wstring& path, const std::vector<BYTE>& bytes);

// Writes `bytes` as a new file at `path` when no file of that name exists.
// Reports nothing; false when nothing was written.
bool WriteNewFileQuietly(const std::wstring& path, const std::vector<BYTE>& bytes);
