// Stands in for a system library planted beside Install.exe on a medium.
// Loaded into a process, it leaves "<its own file name>.loaded" beside
// itself and refuses to stay.
#include <windows.h>

#include "base/Handles.h"

using base::UniqueHandle;

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) {
        return TRUE;
    }
    constexpr wchar_t kSuffix[] = L".loaded";
    wchar_t path[MAX_PATH + sizeof(kSuffix) / sizeof(wchar_t)] = {};
    const DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        lstrcatW(path, kSuffix);
        const UniqueHandle marker(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    return FALSE;
}
