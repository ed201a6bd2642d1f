#pragma once
// System actions that a test cannot perform for real: the screen's logical
// pixels per inch, the display set-up routine and the restart.
#include <windows.h>

namespace sys {

class ISystemActions {
  public:
    virtual ~ISystemActions() = default;
    virtual int ScreenLogPixelsX() = 0;
    // syssetup's SetupChangeFontSize("120"); false when the change was not
    // made (no library, no routine, or a zero answer).
    virtual bool SetLargeFonts() = 0;
    virtual bool ShutdownWindows(UINT exitFlags) = 0; // privilege, then ExitWindowsEx
};

} // namespace sys
