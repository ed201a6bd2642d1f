// Directories: creating one, the recursive copy and the listing of
// subdirectories.
#include <functional>

#include "files/DirectoryTree.h"
#include "files/FileAttributes.h"
#include "files/FileReplace.h"
#include "base/Handles.h"
#include "base/FileQueries.h"
#include "base/portable/PathText.h"

namespace files {

using base::DirectoryExists;
using base::JoinPath;
using base::ParentDirectory;
using base::UniqueFindHandle;

namespace {

bool IsDotEntry(const wchar_t* name) {
    return wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0;
}

bool IsDirectory(const WIN32_FIND_DATAW& entry) {
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Entries that are neither hidden nor system.
bool IsVisible(const WIN32_FIND_DATAW& entry) {
    return (entry.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

// Calls `visit` for every entry the search for `pattern` returns, "." and
// ".." left out. The search handle is closed also when `visit` raises.
void ForEachEntry(const std::wstring& pattern,
                  const std::function<void(const WIN32_FIND_DATAW&)>& visit) {
    WIN32_FIND_DATAW entry{};
    UniqueFindHandle search(FindFirstFileW(pattern.c_str(), &entry));
    if (!search) {
        return;
    }
    do {
        if (!IsDotEntry(entry.cFileName)) {
            visit(entry);
        }
    } while (FindNextFileW(search.get(), &entry));
}

// `path` without trailing backslashes, a drive's root ("C:\") excepted.
std::wstring WithoutTrailingBackslash(std::wstring path) {
    while (path.size() > 1 && path.back() == L'\\' && path[path.size() - 2] != L':') {
        path.pop_back();
    }
    return path;
}

// CopyFileW refuses to overwrite a hidden file on Windows; Wine running as
// root overwrites it, so the refusal is made here.
bool RefusesOverwrite(const std::wstring& destination) {
    const DWORD attributes = GetFileAttributesW(destination.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN) != 0;
}

// Copies one file with the system's copy. A read-only file of an earlier
// installation is made writable first, and the copy never keeps a
// read-only medium's attribute: otherwise the next release could not
// replace it.
void CopyWritable(const std::wstring& source, const std::wstring& target) {
    if (RefusesOverwrite(target)) {
        return;
    }
    SetReadOnlyAttr(target, false);
    if (CopyFileW(source.c_str(), target.c_str(), FALSE)) {
        SetReadOnlyAttr(target, false);
    }
}

void AddTreeFiles(const std::wstring& root, const std::wstring& relative,
                  std::vector<std::wstring>& files) {
    ForEachEntry(root + L"\\" + relative + L"*", [&](const WIN32_FIND_DATAW& entry) {
        const std::wstring path = relative + entry.cFileName;
        if (!IsDirectory(entry)) {
            files.push_back(path);
        } else if (IsVisible(entry)) {
            AddTreeFiles(root, path + L"\\", files);
        }
    });
}

} // namespace

std::vector<std::wstring> TreeFiles(const std::wstring& root) {
    std::vector<std::wstring> files;
    AddTreeFiles(root, L"", files);
    return files;
}

bool ForceDirectories(const std::wstring& directory) {
    const std::wstring path = WithoutTrailingBackslash(directory);
    if (path.empty() || DirectoryExists(path)) {
        return !path.empty();
    }
    const std::wstring parent = ParentDirectory(path);
    if (!parent.empty() && parent.size() < path.size()) {
        ForceDirectories(parent);
    }
    return CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

void CreateDirectoryIfMissing(const std::wstring& directory) {
    if (!DirectoryExists(directory)) {
        CreateDirectoryW(directory.c_str(), nullptr);
    }
}

void CopyDirTree(const std::wstring& source, const std::wstring& destination) {
    if (!DirectoryExists(destination)) {
        ForceDirectories(destination);
    }
    const std::wstring pattern = JoinPath(source, L"*.*");
    ForEachEntry(pattern, [&](const WIN32_FIND_DATAW& entry) {
        if (IsDirectory(entry)) {
            return;
        }
        CopyWritable(JoinPath(source, entry.cFileName), JoinPath(destination, entry.cFileName));
    });
    ForEachEntry(pattern, [&](const WIN32_FIND_DATAW& entry) {
        if (IsVisible(entry) && IsDirectory(entry)) {
            CopyDirTree(JoinPath(source, entry.cFileName), JoinPath(destination, entry.cFileName));
        }
    });
}

void ClearReadOnlyTree(const std::wstring& directory) {
    ForEachEntry(JoinPath(directory, L"*"), [&](const WIN32_FIND_DATAW& entry) {
        const std::wstring path = JoinPath(directory, entry.cFileName);
        if (IsDirectory(entry)) {
            ClearReadOnlyTree(path);
        } else if ((entry.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
            SetReadOnlyAttr(path, false);
        }
    });
}

void ListSubDirs(const std::wstring& directory, std::vector<std::wstring>& list) {
    ForEachEntry(directory + L"*", [&](const WIN32_FIND_DATAW& entry) {
        if (IsVisible(entry) && IsDirectory(entry) &&
            wcscmp(entry.cFileName, L"WithOutAnswer") != 0) {
            list.push_back(directory + entry.cFileName);
        }
    });
}

} // namespace files
