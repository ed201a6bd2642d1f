#pragma once
// Files and directories for Windows tests: a scratch directory removed at
// the end, and small helpers to write and read whole files.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <windows.h>

namespace testfiles {

inline void WriteFile(const std::wstring& path, const std::string& content) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    out << content;
}

inline std::string ReadFile(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A unix path from the environment as a Windows path on Wine's Z: drive.
inline std::wstring FromUnixEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) {
        return {};
    }
    std::wstring path = L"Z:";
    const int size = MultiByteToWideChar(CP_UTF8, 0, value, -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(size > 0 ? size - 1 : 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, value, -1, wide.data(), size);
    for (wchar_t& c : wide) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    return path + wide;
}

// A fresh directory below the temporary directory, removed with its
// content when the object goes; `path()` ends in a backslash.
class ScratchDir {
  public:
    explicit ScratchDir(const std::wstring& prefix = L"vestar") {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        static unsigned counter = 0;
        path_ = std::wstring(temp) + prefix + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(++counter) + L"\\";
        std::filesystem::remove_all(std::filesystem::path(path_));
        std::filesystem::create_directories(std::filesystem::path(path_));
    }
    ~ScratchDir() {
        ClearReadOnly();
        std::error_code ignored;
        std::filesystem::remove_all(std::filesystem::path(path_), ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::wstring& path() const { return path_; }
    std::wstring operator/(const std::wstring& relative) const { return path_ + relative; }

  private:
    void ClearReadOnly() {
        std::error_code ignored;
        for (auto it = std::filesystem::recursive_directory_iterator(path_, ignored);
             it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
            SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
        }
    }

    std::wstring path_;
};

} // namespace testfiles
