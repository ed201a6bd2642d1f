#pragma once
// Shell links as the tests read them back, and the desktop they land on.
#include <string>
#include <windows.h>

#include <objidl.h>
#include <shlobj.h>

#include "base/Handles.h"

namespace testfiles {

// The user's desktop folder as the shell's folder table names it, without a
// trailing backslash; empty when the table has no such entry.
inline std::wstring DesktopFolder() {
    wchar_t desktop[MAX_PATH] = {};
    DWORD size = sizeof(desktop);
    if (RegGetValueW(HKEY_CURRENT_USER,
                     L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                     L"Desktop", RRF_RT_REG_SZ, nullptr, desktop, &size) != ERROR_SUCCESS) {
        return {};
    }
    return desktop;
}

struct LinkContent {
    std::wstring path;       // the target as the shell resolves it (its item list)
    std::wstring storedPath; // the target's path text (GetPath)
    std::wstring workingDirectory;
    std::wstring description;
    std::wstring arguments;
    bool loaded = false; // false: the file is no link the shell can load
};

// Wine's GetPath of a loaded link gives the path through the ANSI code page,
// while the link's item list holds the exact path. In the clinics' code page
// (1251) both give Cyrillic letters back whole. Needs COM on the calling
// thread.
inline LinkContent ReadLink(const std::wstring& linkFile) {
    LinkContent content;
    base::ComPtr<IShellLinkW> link;
    base::ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.put_void())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, file.put_void())) ||
        FAILED(file->Load(linkFile.c_str(), STGM_READ))) {
        return content;
    }
    content.loaded = true;
    wchar_t buffer[1024] = {};
    link->GetPath(buffer, 1024, nullptr, SLGP_RAWPATH);
    content.storedPath = buffer;
    PIDLIST_ABSOLUTE ids = nullptr;
    buffer[0] = L'\0';
    if (SUCCEEDED(link->GetIDList(&ids)) && ids != nullptr) {
        SHGetPathFromIDListW(ids, buffer);
        CoTaskMemFree(ids);
    }
    content.path = buffer;
    buffer[0] = L'\0';
    link->GetWorkingDirectory(buffer, 1024);
    content.workingDirectory = buffer;
    buffer[0] = L'\0';
    link->GetDescription(buffer, 1024);
    content.description = buffer;
    buffer[0] = L'\0';
    link->GetArguments(buffer, 1024);
    content.arguments = buffer;
    return content;
}

} // namespace testfiles
