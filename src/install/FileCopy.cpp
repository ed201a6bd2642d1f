// CopyFileKeepDate: a single-file copy that carries the source's last-write
// time, rounded as the DOS date/time form rounds it (two-second steps).
//
// The copy is made in a temporary file beside the destination, sized to the
// source first, and moved over the destination in one step: a copy that
// fails midway leaves the earlier destination as it was.
#include "install/CopyEngine.h"
#include "install/FilePrimitives.h"
#include "install/FileReplace.h"
#include "shared/SysError.h"
#include "ui/Handles.h"

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
bool ReserveSize(HANDLE file, ULONGLONG size) {
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(size);
    LARGE_INTEGER start{};
    return SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file) &&
           SetFilePointerEx(file, start, nullptr, FILE_BEGIN);
}

} // namespace

bool CopyFileKeepDate(const std::wstring& source, const std::wstring& destination,
                      const CopyProgress& progress) {
    const UniqueHandle input = OpenSourceExclusively(source);
    if (const DWORD error = CheckReplaceable(destination)) {
        RaiseCannotCreateFile(destination, error);
    }
    TempFileBeside copy(destination);
    if (copy.error() != 0) {
        RaiseCannotCreateFile(destination, copy.error());
    }

    LARGE_INTEGER size{};
    if (!GetFileSizeEx(input.get(), &size) ||
        !ReserveSize(copy.handle(), static_cast<ULONGLONG>(size.QuadPart)) ||
        !CopyFileContent(input.get(), copy.handle(), static_cast<ULONGLONG>(size.QuadPart),
                         progress)) {
        return false;
    }

    FILETIME writeTime{};
    if (DosRoundedWriteTime(input.get(), writeTime)) {
        SetFileTime(copy.handle(), nullptr, nullptr, &writeTime);
    }
    if (copy.Flush() != 0) {
        return false;
    }
    if (const DWORD error = copy.MoveIntoPlace(true)) {
        RaiseCannotCreateFile(destination, error);
    }
    return true;
}
