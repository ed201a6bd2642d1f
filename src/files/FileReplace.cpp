#include "files/FileReplace.h"

#include "base/FileQueries.h"

#include <algorithm>
#include <atomic>
#include <cwctype>
#include <mutex>
#include <set>

#include "base/Handles.h"
#include "base/LongPath.h"
#include "base/SysError.h"
#include "base/portable/PathText.h"
#include "files/BlockWriter.h"

namespace files {

using base::JoinPath;
using base::LongPathForm;
using base::ParentDirectory;
using base::PathExists;
using base::RaiseCannotCreateFile;
using base::SysResult;
using base::UniqueFindHandle;
using base::UniqueHandle;

namespace {

constexpr std::wstring_view kTempPrefix = L"~vestar";
constexpr std::wstring_view kTempSuffix = L".tmp";
constexpr int kTempNameAttempts = 100;
constexpr int kBackupNameAttempts = 99;

std::atomic<unsigned> tempCounter{0};

// A short name in the destination's directory, so that the temporary file
// is on the same volume. Where the destination's path is near MAX_PATH the
// name can take the path beyond it: then the path is in the extended-length
// form, so that a destination the copy reaches does not fail only for its
// temporary file.
std::wstring TempNameFor(const std::wstring& directory) {
    return LongPathForm(
        JoinPath(directory, std::wstring(kTempPrefix) + std::to_wstring(GetCurrentProcessId()) +
                                L"-" + std::to_wstring(++tempCounter) + std::wstring(kTempSuffix)));
}

bool AllDigits(std::wstring_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](wchar_t x, wchar_t y) { return std::towlower(x) == std::towlower(y); });
}

// The directories already cleared of stale temporary files in this run.
struct SweptDirectories {
    std::mutex guard;
    std::set<std::wstring> names;
};

SweptDirectories& Swept() {
    static SweptDirectories swept;
    return swept;
}

// Clears the directory of stale temporary files the first time the run
// writes into it; later writes of the run find only their own files there.
void RemoveStaleTempFilesOnce(const std::wstring& directory) {
    std::wstring key = directory;
    CharLowerBuffW(key.data(), static_cast<DWORD>(key.size()));
    SweptDirectories& swept = Swept();
    const std::lock_guard lock(swept.guard);
    if (swept.names.insert(key).second) {
        RemoveStaleTempFiles(directory);
    }
}

// Writes `bytes` to a temporary file beside `path`, flushes it and moves it
// to `path` (over an existing file only when `replace`); the error of the
// step that failed.
SysResult WriteThroughTemp(const std::wstring& path, const std::vector<BYTE>& bytes, bool replace) {
    TempFileBeside temp(path);
    if (const SysResult created = temp.Create(); !created) {
        return created;
    }
    if (const SysResult written = CurrentBlockWriter().WriteBlock(temp.handle(), bytes.data(),
                                                                  static_cast<DWORD>(bytes.size()));
        !written) {
        return written;
    }
    if (const SysResult flushed = temp.Flush(); !flushed) {
        return flushed;
    }
    return temp.MoveIntoPlace(replace);
}

} // namespace

bool IsInstallerTempName(std::wstring_view name) {
    if (name.size() <= kTempPrefix.size() + kTempSuffix.size() ||
        !EqualsIgnoringCase(name.substr(0, kTempPrefix.size()), kTempPrefix) ||
        !EqualsIgnoringCase(name.substr(name.size() - kTempSuffix.size()), kTempSuffix)) {
        return false;
    }
    const std::wstring_view middle =
        name.substr(kTempPrefix.size(), name.size() - kTempPrefix.size() - kTempSuffix.size());
    const std::size_t dash = middle.find(L'-');
    return dash != std::wstring_view::npos && AllDigits(middle.substr(0, dash)) &&
           AllDigits(middle.substr(dash + 1));
}

void SweepStaleTempFilesAgain() {
    SweptDirectories& swept = Swept();
    const std::lock_guard lock(swept.guard);
    swept.names.clear();
}

void RemoveStaleTempFiles(const std::wstring& directory) {
    WIN32_FIND_DATAW entry{};
    const std::wstring pattern = LongPathForm(
        JoinPath(directory, std::wstring(kTempPrefix) + L"*" + std::wstring(kTempSuffix)));
    UniqueFindHandle search(FindFirstFileW(pattern.c_str(), &entry));
    if (!search) {
        return;
    }
    do {
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
            IsInstallerTempName(entry.cFileName)) {
            const std::wstring path = LongPathForm(JoinPath(directory, entry.cFileName));
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(path.c_str());
        }
    } while (FindNextFileW(search.get(), &entry));
}

TempFileBeside::TempFileBeside(const std::wstring& destination, bool allowWriteBack)
    : destination_(destination), allowWriteBack_(allowWriteBack) {}

SysResult TempFileBeside::Create() {
    const std::wstring directory = ParentDirectory(destination_);
    RemoveStaleTempFilesOnce(directory);
    SysResult created = SysResult::Failed(ERROR_FILE_EXISTS);
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
        path_ = TempNameFor(directory);
        // Nobody else may read the file while it is incomplete; writing is
        // shared only with the write-back handle, when asked for.
        handle_.reset(CreateFileW(path_.c_str(), GENERIC_READ | GENERIC_WRITE,
                                  allowWriteBack_ ? FILE_SHARE_WRITE : 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
        if (handle_) {
            return {};
        }
        created = SysResult::LastError();
        if (created.code() != ERROR_FILE_EXISTS && created.code() != ERROR_ALREADY_EXISTS) {
            break;
        }
    }
    path_.clear();
    return created;
}

TempFileBeside::~TempFileBeside() {
    handle_.reset();
    if (!moved_ && !path_.empty()) {
        DeleteFileW(path_.c_str());
    }
}

SysResult TempFileBeside::Flush() {
    return FlushFileBuffers(handle_.get()) ? SysResult() : SysResult::LastError();
}

UniqueHandle TempFileBeside::OpenWriteBack() const {
    if (!allowWriteBack_ || !handle_) {
        return UniqueHandle();
    }
    return UniqueHandle(CreateFileW(path_.c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
}

SysResult TempFileBeside::MoveIntoPlace(bool replace) {
    handle_.reset();
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (!MoveFileExW(path_.c_str(), destination_.c_str(), flags)) {
        return SysResult::LastError();
    }
    moved_ = true;
    return {};
}

SysResult TempFileBeside::MoveIntoPlaceKeeping(const BackupNamer& backupName,
                                               std::wstring& keptPath) {
    keptPath.clear();
    if (GetFileAttributesW(destination_.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return MoveIntoPlace(false);
    }
    handle_.reset();
    for (int attempt = 1;; ++attempt) {
        const std::wstring candidate = backupName(attempt);
        // A backup name is longer than the destination's, and may pass
        // MAX_PATH where the destination does not.
        if (MoveFileExW(destination_.c_str(), LongPathForm(candidate).c_str(),
                        MOVEFILE_WRITE_THROUGH)) {
            keptPath = candidate;
            break;
        }
        const DWORD error = GetLastError();
        if ((error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) ||
            attempt == kBackupNameAttempts) {
            return SysResult::Failed(error);
        }
    }
    if (!MoveFileExW(path_.c_str(), destination_.c_str(), MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        // Puts the kept file back, so that the destination keeps its name.
        if (MoveFileExW(LongPathForm(keptPath).c_str(), destination_.c_str(),
                        MOVEFILE_WRITE_THROUGH)) {
            keptPath.clear();
        }
        return SysResult::Failed(error);
    }
    moved_ = true;
    return {};
}

SysResult CheckReplaceable(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_PATH_NOT_FOUND ? SysResult::Failed(error) : SysResult();
    }
    constexpr DWORD refused = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY |
                              FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if ((attributes & refused) != 0) {
        return SysResult::Failed(ERROR_ACCESS_DENIED);
    }
    UniqueHandle probe(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return probe ? SysResult() : SysResult::LastError();
}

void WriteWholeFile(const std::wstring& path, const std::vector<BYTE>& bytes) {
    if (const SysResult replaceable = CheckReplaceable(path); !replaceable) {
        RaiseCannotCreateFile(path, replaceable.code());
    }
    if (const SysResult written = WriteThroughTemp(path, bytes, true); !written) {
        RaiseCannotCreateFile(path, written.code());
    }
}

bool WriteNewFileQuietly(const std::wstring& path, const std::vector<BYTE>& bytes) {
    return !PathExists(path) && WriteThroughTemp(path, bytes, false).ok();
}

} // namespace files
