// Shell links to a file in the current user's shell folders.
#include "install/Shortcut.h"

#include <cwchar>
#include <iterator>

#include <windows.h>

#include <objidl.h>
#include <shlobj.h>

#include "base/AppError.h"
#include "base/Handles.h"
#include "base/SysError.h"
#include "base/portable/PathText.h"

namespace install {

using base::AppError;
using base::ComPtr;
using base::HresultDigits;
using base::JoinPath;
using base::ParentDirectory;
using base::UniqueRegKey;

namespace {

constexpr wchar_t kExplorerKey[] = L"Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer";
constexpr wchar_t kGrpConvKey[] = L"Software\\MicroSoft\\Windows\\CurrentVersion\\GrpConv";
constexpr std::uint8_t kCallersFolder = 4;

struct ShellFolderSource {
    const wchar_t* key;
    const wchar_t* subKey;
    const wchar_t* value;
};

// Location codes 0 to 3: Desktop, Quick Launch, SendTo, Start Menu.
constexpr ShellFolderSource kShellFolders[] = {
    {kExplorerKey, L"Shell Folders", L"Desktop"},
    {kGrpConvKey, L"MapGroups", L"Quick Launch"},
    {kExplorerKey, L"Shell Folders", L"SendTo"},
    {kExplorerKey, L"Shell Folders", L"Start Menu"},
};

[[noreturn]] void RaiseShortcutError(HRESULT result) {
    throw AppError(L"Не удалось создать ярлык: 0x" + HresultDigits(result));
}

std::wstring ReadStringValue(HKEY key, const wchar_t* name) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return {};
    }
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) !=
        ERROR_SUCCESS) {
        return {};
    }
    text.resize(size / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') {
        text.pop_back();
    }
    return text;
}

// The current user's shell folder from the registry; empty when the value is
// missing.
std::wstring ShellFolderPath(const ShellFolderSource& source) {
    UniqueRegKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, source.key, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, key.put(), nullptr) != ERROR_SUCCESS) {
        return {};
    }
    UniqueRegKey subKey;
    if (RegOpenKeyExW(key.get(), source.subKey, 0, KEY_READ, subKey.put()) != ERROR_SUCCESS) {
        return {};
    }
    return ReadStringValue(subKey.get(), source.value);
}

std::wstring FolderFor(std::uint8_t location, const std::wstring& subFolder) {
    if (location == kCallersFolder) {
        return subFolder;
    }
    if (location < std::size(kShellFolders)) {
        return ShellFolderPath(kShellFolders[location]);
    }
    return {};
}

// The name with its extension replaced by ".lnk", reduced to the last path
// component.
std::wstring LinkFileName(const std::wstring& name) {
    const std::size_t componentStart = name.find_last_of(L"\\/:") + 1; // npos + 1 == 0
    std::wstring component = name.substr(componentStart);
    const std::size_t dot = component.find_last_of(L'.');
    if (dot != std::wstring::npos) {
        component.erase(dot);
    }
    return component + L".lnk";
}

} // namespace

void CreateShortcut(const std::wstring& targetFile, std::uint8_t location,
                    const std::wstring& subFolder, const std::wstring& workingDir,
                    const std::wstring& arguments, const std::wstring& description,
                    const std::wstring& linkName, std::wstring& linkPath) {
    ComPtr<IShellLinkW> link;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IShellLinkW, link.put_void());
    if (FAILED(result)) {
        RaiseShortcutError(result);
    }
    ComPtr<IPersistFile> file;
    result = link->QueryInterface(IID_IPersistFile, file.put_void());
    if (FAILED(result)) {
        RaiseShortcutError(result);
    }
    link->SetPath(targetFile.c_str());
    link->SetArguments(arguments.c_str());
    link->SetDescription(description.c_str());

    const std::wstring fileName = LinkFileName(linkName.empty() ? targetFile : linkName);
    const std::wstring folder = FolderFor(location, subFolder);
    if (folder.empty()) {
        return;
    }
    const std::wstring path = !subFolder.empty() && location != kCallersFolder
                                  ? folder + L"\\" + subFolder + L"\\" + fileName
                                  : folder + L"\\" + fileName;
    // Without a given working directory the link starts in its target's
    // directory, named with its trailing backslash.
    link->SetWorkingDirectory(
        (workingDir.empty() ? JoinPath(ParentDirectory(targetFile), L"") : workingDir).c_str());
    file->Save(path.c_str(), FALSE);
    linkPath = path;
}

std::wstring DesktopLinkPath(const std::wstring& linkName) {
    const std::wstring folder = FolderFor(0, L"");
    return folder.empty() ? std::wstring() : folder + L"\\" + LinkFileName(linkName);
}

std::wstring LinkTargetPath(const std::wstring& linkFile) {
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.put_void())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, file.put_void())) ||
        FAILED(file->Load(linkFile.c_str(), STGM_READ))) {
        return {};
    }
    PIDLIST_ABSOLUTE ids = nullptr;
    wchar_t path[MAX_PATH * 4] = {};
    if (SUCCEEDED(link->GetIDList(&ids)) && ids != nullptr) {
        SHGetPathFromIDListW(ids, path);
        CoTaskMemFree(ids);
    }
    return path;
}

} // namespace install
