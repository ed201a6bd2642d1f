#pragma once
// The end of a finished install run: the uninstaller placed in the
// installation, the record of the placed files brought up to date, and the
// entry in the system's list of installed programs written.
#include <string>
#include <windows.h>

#include "install/ProgressLog.h"

namespace install {

struct TRegistration {
    std::wstring target; // absolute, ending in a backslash
    std::wstring source; // the medium, ending in a backslash
    int windowsIndex = 0;
    bool sisterBrand = false;
    HMODULE program = nullptr; // the running installer: its file and resources
};

// Each of the three steps under its own status line; a failure marks the
// line with the failure word and the system's text, and the next steps
// still run.
void RegisterInstallation(const TRegistration& registration, IProgressLog& log);

// The program's own file.
std::wstring ModulePath(HMODULE module);

} // namespace install
