#pragma once
// Real files for Windows tests: a scratch directory removed with everything
// in it at the end, whole-file reads and writes, attributes, times, a file
// held in use, and paths handed over from the build.
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>
#include <windows.h>

namespace testfiles {

// The process's current directory, as GetCurrentDirectoryW gives it.
inline std::wstring CurrentDirectory() {
    std::wstring path(32768, L'\0');
    path.resize(GetCurrentDirectoryW(static_cast<DWORD>(path.size()), path.data()));
    return path;
}

// The directory of the running test program, with a trailing backslash.
inline std::wstring OwnDirectory() {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path.substr(0, path.rfind(L'\\') + 1);
}

// The whole file, or "<missing>" when it cannot be opened.
inline std::string ReadBytes(const std::wstring& path) {
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return "<missing>";
    }
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
        bytes.append(buffer, read);
    }
    CloseHandle(file);
    return bytes;
}

// Writes `bytes` as the whole file; its directory must exist.
inline bool WriteBytes(const std::wstring& path, std::string_view bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const bool ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    CloseHandle(file);
    return ok;
}

// Creates the file's missing directories, then writes it whole.
inline bool WriteFileCreatingDirs(const std::wstring& path, std::string_view bytes) {
    for (size_t slash = path.find(L'\\', 3); slash != std::wstring::npos;
         slash = path.find(L'\\', slash + 1)) {
        CreateDirectoryW(path.substr(0, slash).c_str(), nullptr);
    }
    return WriteBytes(path, bytes);
}

// Writes `text` in UTF-16LE with a byte order mark.
inline bool WriteUtf16File(const std::wstring& path, std::wstring_view text) {
    std::string bytes = "\xFF\xFE";
    for (const wchar_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>((c >> 8) & 0xFF));
    }
    return WriteFileCreatingDirs(path, bytes);
}

// `text` in UTF-8, as the installer writes its logs and scripts see paths.
inline std::string Utf8(std::wstring_view text) {
    const int size = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, bytes.data(), length, nullptr, nullptr);
    return bytes;
}

inline bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline DWORD Attributes(const std::wstring& path) {
    return GetFileAttributesW(path.c_str());
}

// The names in a directory (without "." and ".."), sorted.
inline std::vector<std::wstring> Names(const std::wstring& directory) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry{};
    HANDLE search = FindFirstFileW((directory + L"\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        const std::wstring name = entry.cFileName;
        if (name != L"." && name != L"..") {
            names.push_back(name);
        }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

// Removes a file or a directory with everything in it, read-only or not.
inline void RemoveTree(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return;
    }
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        DeleteFileW(path.c_str());
        return;
    }
    for (const std::wstring& name : Names(path)) {
        RemoveTree(path + L"\\" + name);
    }
    RemoveDirectoryW(path.c_str());
}

// Local time as a FILETIME in UTC.
inline FILETIME LocalTimeAsFileTime(WORD year, WORD month, WORD day, WORD hour, WORD minute,
                                    WORD second, WORD milliseconds) {
    SYSTEMTIME local{year, month, 0, day, hour, minute, second, milliseconds};
    FILETIME localFile{};
    FILETIME utc{};
    SystemTimeToFileTime(&local, &localFile);
    LocalFileTimeToFileTime(&localFile, &utc);
    return utc;
}

inline bool SetWriteTime(const std::wstring& path, const FILETIME& time) {
    HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool ok = SetFileTime(file, nullptr, nullptr, &time);
    CloseHandle(file);
    return ok;
}

// The last-write time in local time.
inline SYSTEMTIME LocalWriteTime(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    FILETIME local{};
    FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
    SYSTEMTIME time{};
    FileTimeToSystemTime(&local, &time);
    return time;
}

// A unix path from the build as a Windows path on Wine's Z: drive.
inline std::wstring WinePath(std::string_view unixPath) {
    const int size = MultiByteToWideChar(CP_UTF8, 0, unixPath.data(),
                                         static_cast<int>(unixPath.size()), nullptr, 0);
    std::wstring path(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, unixPath.data(), static_cast<int>(unixPath.size()), path.data(),
                        size);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return L"Z:" + path;
}

// The unix path in the environment variable `name` as a Windows path.
inline std::wstring FromUnixEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? WinePath(value) : std::wstring();
}

// A fresh directory below the temporary directory, by default with blanks
// and Cyrillic letters in its name; `path()` ends in a backslash.
class ScratchDir {
  public:
    explicit ScratchDir(const std::wstring& prefix = L"vestar files Тест") {
        static std::atomic<int> counter{0};
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, temp);
        path_ = std::wstring(temp) + prefix + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(++counter) + L"\\";
        RemoveTree(path_.substr(0, path_.size() - 1));
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~ScratchDir() { RemoveTree(path_.substr(0, path_.size() - 1)); }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::wstring& path() const { return path_; }
    std::wstring operator/(const std::wstring& relative) const { return path_ + relative; }

  private:
    std::wstring path_;
};

// An open handle that keeps a file in use while it lives; by default opened
// for reading and writing with no sharing.
class FileLock {
  public:
    explicit FileLock(const std::wstring& path, DWORD share = 0,
                      DWORD access = GENERIC_READ | GENERIC_WRITE)
        : handle_(CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~FileLock() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
        }
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool locked() const { return handle_ != INVALID_HANDLE_VALUE; }

  private:
    HANDLE handle_;
};

} // namespace testfiles
