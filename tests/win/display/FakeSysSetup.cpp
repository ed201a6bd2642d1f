// Loaded in place of the system's syssetup.dll, it leaves a mark in its
// process's environment.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        SetEnvironmentVariableW(L"VESTAR_FAKE_SYSSETUP", L"loaded");
    }
    return TRUE;
}

extern "C" __declspec(dllexport) int WINAPI SetupChangeFontSize(HWND, const wchar_t*) {
    SetEnvironmentVariableW(L"VESTAR_FAKE_SYSSETUP", L"called");
    return 1;
}
