#include "TestDirs.h"

#include <atomic>
#include <fstream>
#include <stdexcept>
#include <windows.h>

ScratchDir::ScratchDir(std::wstring_view stem) {
    static std::atomic<int> counter{0};
    wchar_t temp[MAX_PATH + 1];
    if (GetTempPathW(MAX_PATH + 1, temp) == 0) {
        throw std::runtime_error("GetTempPathW failed");
    }
    path_ = std::filesystem::path(temp) /
            (std::wstring(stem) + L"_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
             std::to_wstring(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::wstring ScratchDir::withBackslash() const {
    return path_.wstring() + L"\\";
}

void WriteAsciiFile(const std::filesystem::path& file, std::string_view text) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!out) {
        throw std::runtime_error("cannot write test file");
    }
}

void WriteUtf16File(const std::filesystem::path& file, std::wstring_view text) {
    std::string bytes = "\xFF\xFE";
    for (const wchar_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>((c >> 8) & 0xFF));
    }
    WriteAsciiFile(file, bytes);
}

std::wstring UnixToWinePath(std::string_view unixPath) {
    const int size = MultiByteToWideChar(CP_UTF8, 0, unixPath.data(),
                                         static_cast<int>(unixPath.size()), nullptr, 0);
    std::wstring path(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, unixPath.data(), static_cast<int>(unixPath.size()), path.data(),
                        size);
    for (wchar_t& c : path) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    return L"Z:" + path;
}
