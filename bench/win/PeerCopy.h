#pragma once
// What a stock Windows program does to copy a file durably: CopyFileW, then
// the copy opened again for writing and flushed. The peer (durable-copy)
// copies the run's files so, and install-bench the database alone; nothing
// of the installer's own code is used.
#include <memory>
#include <string>
#include <windows.h>

// False, with the system's error code left for GetLastError, when the copy
// or the flush failed.
inline bool CopyFileAndFlush(const std::wstring& source, const std::wstring& destination) {
    if (!CopyFileW(source.c_str(), destination.c_str(), FALSE)) {
        return false;
    }
    const std::unique_ptr<void, decltype(&CloseHandle)> copy(
        CreateFileW(destination.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL, nullptr),
        &CloseHandle);
    return copy.get() != INVALID_HANDLE_VALUE && FlushFileBuffers(copy.get()) != 0;
}
