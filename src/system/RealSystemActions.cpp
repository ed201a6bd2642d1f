#include "system/RealSystemActions.h"

#include "shared/VS_Common_Proc.h"
#include "base/Handles.h"

namespace sys {

using base::UniqueModule;
using shared::ScreenPixelsPerInch;

namespace {

using SetupChangeFontSizeProc = int(WINAPI*)(HWND, const wchar_t*);

constexpr wchar_t kSetupLibrary[] = L"syssetup.dll";
constexpr wchar_t kLargeFontSize[] = L"120";

std::wstring SystemDirectory() {
    wchar_t buffer[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    return std::wstring(buffer, length);
}

// The display set-up library, only ever from the system directory: a copy
// lying next to the installer on the medium is never loaded.
UniqueModule LoadSetupLibrary() {
    UniqueModule library(LoadLibraryExW(kSetupLibrary, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    if (library || GetLastError() != ERROR_INVALID_PARAMETER) {
        return library;
    }
    // Windows 7 without the safe-loading update does not know the flag:
    // name the file by its full path in the system directory instead.
    const std::wstring directory = SystemDirectory();
    if (directory.empty()) {
        return library;
    }
    return UniqueModule(LoadLibraryW((directory + L"\\" + kSetupLibrary).c_str()));
}

} // namespace

int RealSystemActions::ScreenLogPixelsX() {
    return ScreenPixelsPerInch();
}

bool RealSystemActions::SetLargeFonts() {
    UniqueModule library = LoadSetupLibrary();
    if (!library) {
        return false;
    }
    const auto changeFontSize = reinterpret_cast<SetupChangeFontSizeProc>(
        reinterpret_cast<void*>(GetProcAddress(library.get(), "SetupChangeFontSize")));
    if (changeFontSize == nullptr) {
        return false;
    }
    if (changeFontSize(nullptr, kLargeFontSize) == 0) {
        // Only a routine that reports success has its library unloaded
        // again; after a failure it stays loaded.
        library.release();
        return false;
    }
    return true;
}

bool RealSystemActions::ShutdownWindows(UINT exitFlags) {
    return shared::ShutdownWindows(exitFlags);
}

} // namespace sys
