// CopyFileKeepDate: a single-file copy that carries the source's last-write
// time, rounded as the DOS date/time form rounds it (two-second steps).
//
// The copy is made in a temporary file beside the destination, sized to the
// source first, flushed, and only then moved over the destination (or the
// destination renamed to a backup name and the copy moved into its place):
// a copy that fails or is interrupted midway leaves the earlier destination
// as it was, and the temporary file is removed now or by the next run.
#include <algorithm>
#include <vector>

#include "files/BlockWriter.h"
#include "files/FileCopy.h"
#include "files/FileReplace.h"
#include "base/SysError.h"
#include "base/Handles.h"
#include "files/CopyEngine.h"

namespace files {

using base::RaiseCannotCreateFile;
using base::RaiseCannotOpenFile;
using base::SysResult;
using base::UniqueHandle;

namespace {

UniqueHandle OpenSourceExclusively(const std::wstring& source) {
    UniqueHandle file(CreateFileW(source.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        RaiseCannotOpenFile(source, GetLastError());
    }
    return file;
}

// The source's last-write time after the round trip through local time and
// the DOS date/time form; false when any step of it fails.
bool DosRoundedWriteTime(HANDLE source, FILETIME& rounded) {
    FILETIME written{};
    FILETIME local{};
    FILETIME localRounded{};
    WORD dosDate = 0;
    WORD dosTime = 0;
    return GetFileTime(source, nullptr, nullptr, &written) &&
           FileTimeToLocalFileTime(&written, &local) &&
           FileTimeToDosDateTime(&local, &dosDate, &dosTime) &&
           DosDateTimeToFileTime(dosDate, dosTime, &localRounded) &&
           LocalFileTimeToFileTime(&localRounded, &rounded);
}

// Gives the file its final size at once, so that a full disk shows before
// any content is written.
SysResult ReserveSize(HANDLE file, ULONGLONG size) {
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(size);
    LARGE_INTEGER start{};
    return SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file) &&
                   SetFilePointerEx(file, start, nullptr, FILE_BEGIN)
               ? SysResult()
               : SysResult::LastError();
}

// A flushed copy of the source, with its rounded time, in a temporary file
// beside `destination`. Raises as CopyFileKeepDate does; the error when
// copying the content failed.
SysResult CopyIntoTemp(HANDLE input, const std::wstring& destination, TempFileBeside& copy,
                       const CopyProgress& progress) {
    if (const SysResult created = copy.Create(); !created) {
        RaiseCannotCreateFile(destination, created.code());
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(input, &size)) {
        return SysResult::LastError();
    }
    const auto bytes = static_cast<ULONGLONG>(size.QuadPart);
    if (const SysResult reserved = ReserveSize(copy.handle(), bytes); !reserved) {
        return reserved;
    }
    // A large file goes to the disk while it is copied, not all at the
    // final flush.
    const UniqueHandle writeBack = bytes > kWriteBackStep ? copy.OpenWriteBack() : UniqueHandle();
    if (const SysResult copied =
            CopyFileContent(input, copy.handle(), bytes, progress, kCopyBlockSize, writeBack.get());
        !copied) {
        return copied;
    }
    FILETIME writeTime{};
    if (DosRoundedWriteTime(input, writeTime)) {
        SetFileTime(copy.handle(), nullptr, nullptr, &writeTime);
    }
    return copy.Flush();
}

// Opens the source and checks, before anything is copied, that the
// destination may be replaced (not read-only, not in use).
UniqueHandle OpenForCopy(const std::wstring& source, const std::wstring& destination) {
    UniqueHandle input = OpenSourceExclusively(source);
    if (const SysResult replaceable = CheckReplaceable(destination); !replaceable) {
        RaiseCannotCreateFile(destination, replaceable.code());
    }
    return input;
}

} // namespace

SysResult CopyFileKeepDate(const std::wstring& source, const std::wstring& destination,
                           const CopyProgress& progress) {
    const UniqueHandle input = OpenForCopy(source, destination);
    TempFileBeside copy(destination, true);
    if (const SysResult copied = CopyIntoTemp(input.get(), destination, copy, progress); !copied) {
        return copied;
    }
    if (const SysResult moved = copy.MoveIntoPlace(true); !moved) {
        RaiseCannotCreateFile(destination, moved.code());
    }
    return {};
}

SysResult CopyFileKeepDate(const std::wstring& source, const std::wstring& destination,
                           const BackupNamer& backupName, std::wstring& keptPath,
                           const CopyProgress& progress) {
    keptPath.clear();
    const UniqueHandle input = OpenForCopy(source, destination);
    TempFileBeside copy(destination, true);
    if (const SysResult copied = CopyIntoTemp(input.get(), destination, copy, progress); !copied) {
        return copied;
    }
    if (const SysResult moved = copy.MoveIntoPlaceKeeping(backupName, keptPath); !moved) {
        RaiseCannotCreateFile(destination, moved.code());
    }
    return {};
}

} // namespace files
