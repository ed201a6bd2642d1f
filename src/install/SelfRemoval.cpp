#include "install/SelfRemoval.h"

#include <cstdint>
#include <cwchar>

#include "base/Handles.h"
#include "install/InstalledFiles.h"
#include "install/Registration.h"

namespace install {

using base::UniqueHandle;

namespace {

constexpr DWORD kDeleteAttemptsMs = 30000; // an ended image may stay locked a moment
constexpr DWORD kDeleteRetryMs = 50;

std::wstring TempDirectory() {
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, path);
    return length == 0 || length > MAX_PATH ? std::wstring() : std::wstring(path, length);
}

// The handles the helper inherits: no other one of ours (the standard
// handles a deployment tool gave us would otherwise stay open until the
// helper ends, and a tool reading them would wait for it).
void KeepStandardHandlesFromChildren() {
    for (const DWORD which : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
        const HANDLE handle = GetStdHandle(which);
        if (handle != nullptr && handle != INVALID_HANDLE_VALUE) {
            SetHandleInformation(handle, HANDLE_FLAG_INHERIT, 0);
        }
    }
}

DWORD StartHelper(const std::wstring& file, const std::wstring& directory,
                  const std::wstring& helperPath) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    // Deleted when its last handle, the helper's inherited one, closes.
    const UniqueHandle helperFile(CreateFileW(helperPath.c_str(), DELETE,
                                              FILE_SHARE_READ | FILE_SHARE_DELETE, &inherit,
                                              OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!helperFile) {
        const DWORD error = GetLastError();
        DeleteFileW(helperPath.c_str());
        return error;
    }
    HANDLE self = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self,
                         SYNCHRONIZE, TRUE, 0)) {
        return GetLastError();
    }
    const UniqueHandle selfHolder(self);
    KeepStandardHandlesFromChildren();
    std::wstring commandLine = L"\"" + helperPath + L"\" /REMOVEAFTER=" +
                               std::to_wstring(reinterpret_cast<std::uintptr_t>(self)) +
                               L" /REMOVEFILE=\"" + file + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(helperPath.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                        CREATE_NO_WINDOW, nullptr, directory.c_str(), &startup, &info)) {
        return GetLastError();
    }
    const UniqueHandle thread(info.hThread);
    const UniqueHandle helperProcess(info.hProcess);
    return 0;
}

bool NamesOurUninstaller(const std::wstring& file) {
    const std::size_t slash = file.find_last_of(L"\\/");
    return SamePath(file.substr(slash == std::wstring::npos ? 0 : slash + 1), kUninstallerName);
}

} // namespace

DWORD RemoveAfterExit(const std::wstring& file) {
    const std::wstring temp = TempDirectory();
    const std::wstring helper =
        temp + L"~vestar-uninstall-" + std::to_wstring(GetCurrentProcessId()) + L".exe";
    DWORD error = ERROR_PATH_NOT_FOUND;
    if (!temp.empty()) {
        error = CopyFileW(file.c_str(), helper.c_str(), FALSE) ? StartHelper(file, temp, helper)
                                                               : GetLastError();
    }
    if (error != 0) {
        // Allowed to administrators only; for them the file goes at the next
        // restart.
        MoveFileExW(file.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    }
    return error;
}

int RunRemovalHelper(HANDLE process, const std::wstring& file) {
    const UniqueHandle uninstaller(process);
    if (!NamesOurUninstaller(file)) {
        return 1;
    }
    // Where the system keeps the helper's file while its image is still
    // mapped at the last handle's close, an administrator's run (as
    // deployment tools start it) has it removed at the next restart.
    MoveFileExW(ModulePath(nullptr).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    WaitForSingleObject(uninstaller.get(), INFINITE);
    for (DWORD waited = 0; waited < kDeleteAttemptsMs; waited += kDeleteRetryMs) {
        SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (DeleteFileW(file.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND ||
            GetLastError() == ERROR_PATH_NOT_FOUND) {
            return 0;
        }
        Sleep(kDeleteRetryMs);
    }
    MoveFileExW(file.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    return 2;
}

} // namespace install
