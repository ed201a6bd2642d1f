#include "install/InstalledFiles.h"

#include <algorithm>
#include <functional>
#include <set>

#include "base/FileQueries.h"
#include "base/Handles.h"
#include "base/portable/PathText.h"
#include "files/DirectoryTree.h"
#include "files/FileReplace.h"
#include "install/MediumLayout.h"
#include "install/portable/InstallLogText.h"

namespace install {

using base::FileExists;
using base::FileSize;
using base::JoinPath;
using base::UniqueHandle;
using files::TempFileBeside;
using files::TreeFiles;

namespace {

std::wstring Lowered(std::wstring text) {
    CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

std::optional<std::string> ReadBytes(const std::wstring& path) {
    const UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart > (64 << 20)) {
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() &&
        !ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
        return std::nullopt;
    }
    bytes.resize(read);
    return bytes;
}

std::wstring FromUtf8(const std::string& bytes) {
    if (bytes.empty()) {
        return {};
    }
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), size, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), size, text.data(), length);
    return text;
}

} // namespace

std::optional<std::vector<std::wstring>> ReadInstalledFiles(const std::wstring& target) {
    const std::optional<std::string> bytes = ReadBytes(target + kInstalledFilesName);
    if (!bytes) {
        return std::nullopt;
    }
    std::wstring text = FromUtf8(*bytes);
    if (!text.empty() && text.front() == L'\xFEFF') {
        text.erase(0, 1);
    }
    std::vector<std::wstring> files;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of(L"\r\n", start);
        if (end == std::wstring::npos) {
            end = text.size();
        }
        std::wstring line = text.substr(start, end - start);
        // Only plain relative paths: a line that reaches outside the target
        // is never followed, whoever wrote it.
        if (!line.empty() && line.find(L':') == std::wstring::npos && line.front() != L'\\' &&
            line.find(L"..") == std::wstring::npos) {
            files.push_back(std::move(line));
        }
        start = end + 1;
    }
    return files;
}

DWORD WriteInstalledFiles(const std::wstring& target, const std::vector<std::wstring>& files) {
    const std::wstring path = target + kInstalledFilesName;
    if (files.empty()) {
        return DeleteFileW(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND ? 0
                                                                                   : GetLastError();
    }
    std::wstring text;
    for (const std::wstring& file : files) {
        text += file + L"\r\n";
    }
    const std::string bytes = ToUtf8(text);
    TempFileBeside temp(path);
    if (const base::SysResult created = temp.Create(); !created) {
        return created.code();
    }
    DWORD written = 0;
    if (!WriteFile(temp.handle(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                   nullptr) ||
        written != bytes.size()) {
        return GetLastError() != 0 ? GetLastError() : ERROR_WRITE_FAULT;
    }
    if (const base::SysResult flushed = temp.Flush(); !flushed) {
        return flushed.code();
    }
    return temp.MoveIntoPlace(true).code();
}

std::vector<std::wstring> MergeInstalledFiles(std::vector<std::wstring> earlier,
                                              const std::vector<std::wstring>& placed) {
    std::set<std::wstring> seen;
    std::vector<std::wstring> merged;
    const auto add = [&](const std::wstring& file) {
        if (seen.insert(Lowered(file)).second) {
            merged.push_back(file);
        }
    };
    std::for_each(earlier.begin(), earlier.end(), add);
    std::for_each(placed.begin(), placed.end(), add);
    return merged;
}

std::vector<std::wstring> FilesPlacedByRun(const std::wstring& target, const std::wstring& source,
                                           int windowsIndex) {
    std::vector<std::wstring> placed;
    const auto addIfThere = [&](const std::wstring& relative) {
        if (FileExists(target + relative)) {
            placed.push_back(relative);
        }
    };
    for (const MediumLayout::FileGroup* group :
         {&MediumLayout::FirebirdGroupFor(windowsIndex), &MediumLayout::Group3CharacterSets,
          &MediumLayout::Group4StandardUdf, &MediumLayout::Group5InHouseUdf}) {
        for (const std::wstring_view name : group->files) {
            addIfThere(std::wstring(group->targetDir) + std::wstring(name));
        }
    }
    // The trees as the medium has them: a file the suite later adds beside
    // them is not the installation's.
    const auto addTree = [&](std::wstring_view tree, const std::wstring& below) {
        for (const std::wstring& file : TreeFiles(source + std::wstring(tree))) {
            addIfThere(below + file);
        }
    };
    addTree(MediumLayout::BackupDir, std::wstring(MediumLayout::BackupDir) + L"\\");
    addTree(MediumLayout::UpdaterDir, L"");
    addTree(MediumLayout::DriverDir, std::wstring(MediumLayout::DriverDir) + L"\\");
    addIfThere(kUninstallerName);
    return placed;
}

std::uint32_t SizeInKiB(const std::wstring& target, const std::vector<std::wstring>& files) {
    std::uint64_t bytes = 0;
    for (const std::wstring& file : files) {
        bytes += FileSize(target + file);
    }
    return static_cast<std::uint32_t>(std::min<std::uint64_t>((bytes + 1023) / 1024, 0xFFFFFFFF));
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

} // namespace install
