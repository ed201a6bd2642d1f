#pragma once
// What the end-to-end tests share around a run of the real program: the
// demo medium, a copy of it, a snapshot of a target tree, and the visible
// windows a process showed.
#include <map>
#include <set>
#include <string>
#include <utility>

#include <windows.h>

#include "common/TestFiles.h"

namespace programruns {

// The demo medium the build made, ending in a backslash.
inline std::wstring DemoMedium() {
    return testfiles::FromUnixEnvironment("VESTAR_BUILD_DIR") + L"\\demo-medium\\";
}

inline std::wstring Quoted(const std::wstring& path) {
    return L"\"" + path + L"\"";
}

// Copies a tree (no trailing backslashes), every copy writable.
inline void CopyTree(const std::wstring& from, const std::wstring& to) {
    CreateDirectoryW(to.c_str(), nullptr);
    for (const std::wstring& name : testfiles::Names(from)) {
        const std::wstring source = from + L"\\" + name;
        if ((testfiles::Attributes(source) & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            CopyTree(source, to + L"\\" + name);
        } else {
            CopyFileW(source.c_str(), (to + L"\\" + name).c_str(), FALSE);
            SetFileAttributesW((to + L"\\" + name).c_str(), FILE_ATTRIBUTE_NORMAL);
        }
    }
}

// Every file and directory below a root by its relative path (a directory
// ending in a backslash), with a file's bytes.
using FileTree = std::map<std::wstring, std::string>;

inline void ReadTree(const std::wstring& root, const std::wstring& relative, FileTree& files) {
    for (const std::wstring& name : testfiles::Names(root + relative)) {
        const std::wstring path = relative + name;
        if ((testfiles::Attributes(root + path) & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            files[path + L"\\"] = "<directory>";
            ReadTree(root, path + L"\\", files);
        } else {
            files[path] = testfiles::ReadBytes(root + path);
        }
    }
}

// `root` ends in a backslash.
inline FileTree SnapshotTree(const std::wstring& root) {
    FileTree files;
    ReadTree(root, L"", files);
    return files;
}

// `tree` without its Install.log, the one file a refused run may change.
inline FileTree WithoutLog(FileTree tree) {
    tree.erase(L"Install.log");
    return tree;
}

// For EnumWindows: the titles of the visible top-level windows of a
// process, given as a std::pair<DWORD, std::set<std::wstring>*>.
inline BOOL CALLBACK CollectTitles(HWND window, LPARAM param) {
    auto& [processId, titles] =
        *reinterpret_cast<std::pair<DWORD, std::set<std::wstring>*>*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == processId && IsWindowVisible(window)) {
        wchar_t title[256] = {};
        GetWindowTextW(window, title, 256);
        titles->insert(title);
    }
    return TRUE;
}

// Waits for a started process to end, collecting the titles of the visible
// windows it shows meanwhile; ends it (exit code 99) after five minutes, a
// guard against a hung program, not a measurement. False when it had to.
inline bool WaitWatchingWindows(HANDLE process, DWORD processId, std::set<std::wstring>& titles) {
    for (int tick = 0; WaitForSingleObject(process, 20) == WAIT_TIMEOUT; ++tick) {
        std::pair<DWORD, std::set<std::wstring>*> search{processId, &titles};
        EnumWindows(CollectTitles, reinterpret_cast<LPARAM>(&search));
        if (tick > 15000) {
            TerminateProcess(process, 99);
            return false;
        }
    }
    return true;
}

} // namespace programruns
