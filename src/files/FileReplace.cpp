#include "files/FileReplace.h"

#include "base/FileQueries.h"

#include <atomic>

#include "files/BlockWriter.h"
#include "base/SysError.h"

namespace {

std::atomic<unsigned> tempCounter{0};

// A short name in the destination's directory, so that the temporary file
// is on the same volume and its path is no longer than the destination's
// directory needs.
std::wstring TempNameFor(const std::wstring& destination) {
    const std::size_t separator = destination.find_last_of(L"\\:");
    const std::wstring directory =
        separator == std::wstring::npos ? std::wstring() : destination.substr(0, separator + 1);
    return directory + L"~vestar" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(++tempCounter) + L".tmp";
}

constexpr int kTempNameAttempts = 100;

} // namespace

TempFileBeside::TempFileBeside(const std::wstring& destination) : destination_(destination) {
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
        path_ = TempNameFor(destination);
        handle_.reset(CreateFileW(path_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (handle_) {
            error_ = 0;
            return;
        }
        error_ = GetLastError();
        if (error_ != ERROR_FILE_EXISTS && error_ != ERROR_ALREADY_EXISTS) {
            break;
        }
    }
    path_.clear();
}

TempFileBeside::~TempFileBeside() {
    handle_.reset();
    if (!moved_ && !path_.empty()) {
        DeleteFileW(path_.c_str());
    }
}

DWORD TempFileBeside::Flush() {
    return FlushFileBuffers(handle_.get()) ? 0 : GetLastError();
}

DWORD TempFileBeside::MoveIntoPlace(bool replace) {
    handle_.reset();
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (!MoveFileExW(path_.c_str(), destination_.c_str(), flags)) {
        return GetLastError();
    }
    moved_ = true;
    return 0;
}

DWORD CheckReplaceable(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_PATH_NOT_FOUND ? error : 0;
    }
    constexpr DWORD refused = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY |
                              FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if ((attributes & refused) != 0) {
        return ERROR_ACCESS_DENIED;
    }
    UniqueHandle probe(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return probe ? 0 : GetLastError();
}

void WriteWholeFile(const std::wstring& path, const std::vector<BYTE>& bytes) {
    if (const DWORD error = CheckReplaceable(path)) {
        RaiseCannotCreateFile(path, error);
    }
    TempFileBeside temp(path);
    if (temp.error() != 0) {
        RaiseCannotCreateFile(path, temp.error());
    }
    if (!CurrentBlockWriter().WriteBlock(temp.handle(), bytes.data(),
                                         static_cast<DWORD>(bytes.size()))) {
        RaiseCannotCreateFile(path, GetLastError());
    }
    if (const DWORD error = temp.Flush()) {
        RaiseCannotCreateFile(path, error);
    }
    if (const DWORD error = temp.MoveIntoPlace(true)) {
        RaiseCannotCreateFile(path, error);
    }
}

bool WriteNewFileQuietly(const std::wstring& path, const std::vector<BYTE>& bytes) {
    if (PathExists(path)) {
        return false;
    }
    TempFileBeside temp(path);
    if (temp.error() != 0) {
        return false;
    }
    if (!CurrentBlockWriter().WriteBlock(temp.handle(), bytes.data(),
                                         static_cast<DWORD>(bytes.size()))) {
        return false;
    }
    return temp.Flush() == 0 && temp.MoveIntoPlace(false) == 0;
}
