#pragma once
// The install run behind "Начать установку": creates the target tree, writes
// the first settings files, copies the suite's files from the medium,
// installs fonts, runs the driver installer, updates the database, places
// the desktop link and ends on the closing question or the font-size page.
#include <optional>
#include <string>
#include <windows.h>

namespace shared {
class IUserDialogs;
}
namespace sys {
class ISystemActions;
}

namespace install {

class IInstallHost;

// A run that nobody answers (/SILENT, /VERYSILENT): no message box is shown,
// the closing question is not asked, the font size is only reported in the
// log, and the driver step runs without its connection question only when
// asked for.
struct TUnattended {
    bool runDriver = false; // /DRIVER
};

struct InstallEnvironment {
    IInstallHost& host;
    shared::IUserDialogs& dialogs;
    sys::ISystemActions& system;
    HINSTANCE resources;     // the module whose string table names the product
    std::wstring sourcePath; // the installer's own directory, ending in a backslash
    std::optional<TUnattended> unattended = std::nullopt;
};

// The completion word of a status line whose step failed.
inline constexpr wchar_t kFailedMark[] = L"ОШИБКА!!!";

// The opening of the plain line that says the driver installer could not be
// started; the system's error text follows it.
inline constexpr wchar_t kDriverNotDone[] = L"Установка драйверов устройства не выполнена: ";

// How a run that raised no error ended.
enum class TRunEnd {
    Finished, // every step was taken (some may have marked their line kFailedMark)
    Stopped,  // a directory could not be created or a copy of groups 1 to 4 failed
    Refused   // the check before the run found files in use or too little room:
              // nothing was written
};

// The whole run. Errors raised by its steps pass to the caller (the window
// layer's error report); the guarded stretch is left before they do.
TRunEnd RunInstall(const InstallEnvironment& env);

} // namespace install
