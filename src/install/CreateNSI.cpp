// The first settings files of an installation: holter.ini options, the NSI
// tables, lastnum.dta and btooth.ini. Each is written whole through a
// temporary file beside it (FileReplace), never left truncated.
#include "install/CreateNSI.h"

#include <algorithm>
#include <array>
#include <functional>
#include <vector>

#include "files/DirectoryTree.h"
#include "files/FileReplace.h"
#include "install/MediumLayout.h"
#include "install/portable/IniText.h"
#include "install/portable/SettingsRecords.h"
#include "base/SysError.h"
#include "base/Handles.h"
#include "base/FileQueries.h"

namespace install {

using base::DirectoryExists;
using base::PathExists;
using base::RaiseCannotOpenFile;
using base::UniqueHandle;
using files::CreateDirectoryIfMissing;
using files::WriteNewFileQuietly;
using files::WriteWholeFile;

namespace {

std::u16string Utf16(std::wstring_view text) {
    return std::u16string(text.begin(), text.end());
}

std::wstring Wide(const std::u16string& text) {
    return std::wstring(text.begin(), text.end());
}

// The system's 8-bit code page, for names and values set in an INI text
// without byte-order mark.
AnsiCodePage SystemAnsiCodePage() {
    return AnsiCodePage{[](std::string_view bytes) {
                            const int size = static_cast<int>(bytes.size());
                            const int length =
                                MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
                            std::wstring text(static_cast<std::size_t>(length), L'\0');
                            MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, text.data(), length);
                            return Utf16(text);
                        },
                        [](std::u16string_view text) {
                            const std::wstring wide = Wide(std::u16string(text));
                            const int size = static_cast<int>(wide.size());
                            const int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), size,
                                                                   nullptr, 0, nullptr, nullptr);
                            std::string bytes(static_cast<std::size_t>(length), '\0');
                            WideCharToMultiByte(CP_ACP, 0, wide.data(), size, bytes.data(), length,
                                                nullptr, nullptr);
                            return bytes;
                        }};
}

// The whole content of `path`; empty when there is no such file (or no such
// directory: writing the file will then raise). Raises "Cannot open file"
// when the file exists but cannot be read.
std::string ReadFileIfPresent(const std::wstring& path) {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            return {};
        }
        RaiseCannotOpenFile(path, error);
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) {
        RaiseCannotOpenFile(path, GetLastError());
    }
    std::string content(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t done = 0;
    while (done < content.size()) {
        DWORD read = 0;
        const DWORD wanted =
            static_cast<DWORD>(std::min<std::size_t>(content.size() - done, 1u << 20));
        if (!ReadFile(file.get(), content.data() + done, wanted, &read, nullptr)) {
            RaiseCannotOpenFile(path, GetLastError());
        }
        if (read == 0) {
            content.resize(done);
            break;
        }
        done += read;
    }
    return content;
}

// Reads the INI file at `path`, lets `change` set its keys and writes it back
// whole.
void UpdateIniFile(const std::wstring& path, const std::function<void(IniText&)>& change) {
    IniText text = IniText::Parse(ReadFileIfPresent(path), SystemAnsiCodePage());
    change(text);
    const std::string bytes = text.Serialize();
    WriteWholeFile(path, std::vector<BYTE>(bytes.begin(), bytes.end()));
}

template <std::size_t N> std::vector<BYTE> Bytes(const std::array<std::uint8_t, N>& record) {
    return std::vector<BYTE>(record.begin(), record.end());
}

LocalDateTime LocalNow() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return LocalDateTime{now.wYear,   now.wMonth,  now.wDay,         now.wHour,
                         now.wMinute, now.wSecond, now.wMilliseconds};
}

} // namespace

void WriteInitialOptions(const std::wstring& targetPath) {
    const std::wstring path = targetPath + std::wstring(MediumLayout::SettingsDir) +
                              std::wstring(MediumLayout::HolterIni);
    UpdateIniFile(path, [](IniText& text) {
        text.SetInteger(u"options", u"FilterType", 0);
        text.SetInteger(u"options", u"HardwareType", 1);
    });
}

void CreateNsiFiles(const std::wstring& settingsDir) {
    CreateDirectoryIfMissing(settingsDir);
    const std::vector<BYTE> table = Bytes(EmptyNsiTable());
    WriteNewFileQuietly(settingsDir + std::wstring(MediumLayout::UcaNsi), table);
    WriteNewFileQuietly(settingsDir + std::wstring(MediumLayout::WraNsi), table);
}

void WriteLastNumFile(const std::wstring& targetPath) {
    const std::wstring settingsDir = targetPath + std::wstring(MediumLayout::SettingsDir);
    const std::wstring path = settingsDir + std::wstring(MediumLayout::LastNumFile);
    if (!DirectoryExists(settingsDir) || PathExists(path)) {
        return;
    }
    WriteNewFileQuietly(path, Bytes(InitialLastNumRecord(LocalNow())));
}

void WriteBtoothIni(const std::wstring& targetPath) {
    const std::wstring path = targetPath + std::wstring(MediumLayout::BtoothIni);
    UpdateIniFile(path, [](IniText& text) { text.SetString(u"Common", u"Disk", u"I"); });
}

} // namespace install
