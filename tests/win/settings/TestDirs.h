#pragma once
// Scratch directories and files for the settings tests.
#include <filesystem>
#include <string>
#include <string_view>

// A fresh directory below the temporary directory, removed with everything
// in it when the object goes.
class ScratchDir {
  public:
    explicit ScratchDir(std::wstring_view stem);
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The directory as the programs see it, with a trailing backslash.
    std::wstring withBackslash() const;

  private:
    std::filesystem::path path_;
};

// Writes `text` as 8-bit characters (it must be ASCII).
void WriteAsciiFile(const std::filesystem::path& file, std::string_view text);

// Writes `text` in UTF-16LE with a byte order mark.
void WriteUtf16File(const std::filesystem::path& file, std::wstring_view text);

// A Unix path from the build as a Windows path on Wine's Z: drive.
std::wstring UnixToWinePath(std::string_view unixPath);
