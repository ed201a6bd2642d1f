#pragma once
// What Install.exe does for its switches: refuses a wrong command line,
// lists the switches, checks the medium, or installs without questions,
// with or without its window. Each gives the program's exit code:
//   0 the run finished with no failed line (the medium would install)
//   1 the command line is wrong
//   2 the run stopped or was abandoned (the medium would stop the run)
//   3 the run finished but a step failed
//   4 the check before the run refused it: nothing was changed
//   1618 another installer or uninstaller is running (app/SingleRun.h)
#include <string>

#include "app/portable/Switches.h"

namespace shared {
class IUserDialogs;
}
namespace sys {
class ISystemActions;
}

namespace app {

inline constexpr int kExitWrongCommandLine = 1;
inline constexpr int kExitAbandoned = 2;

// The reason in the /LOG file and on the standard error; exit code 1.
int RefuseCommandLine(const TSwitchesParse& parsed);

// The switches and exit codes on the standard error, else in a window.
int ShowSwitchesHelp();

// /CHECK: the medium beside the program; the report to the /LOG file and the
// standard error, else in a window.
int CheckMediumBesideProgram(const TSwitches& switches, const std::wstring& sourcePath);

// /VERYSILENT: the install run with no window at all.
int InstallWithoutWindow(const TSwitches& switches, sys::ISystemActions& system,
                         const std::wstring& sourcePath);

class TFMain;

// /SILENT: the main window shows the progress page while the run lasts.
int InstallWithProgressPage(TFMain& main, const TSwitches& switches);

} // namespace app
