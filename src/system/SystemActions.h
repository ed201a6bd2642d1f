#pragma once
// System actions that a test cannot perform for real: the screen's logical
// pixels per inch, the display set-up routine and the restart.
#include <windows.h>

class ISystemActions {
  public:
    virtual ~ISystemActions() = default;
    virtual int ScreenLogPixelsX() = 0;
    virtual void SetLargeFonts() = 0;                 // syssetup's SetupChangeFontSize("120")
    virtual bool ShutdownWindows(UINT exitFlags) = 0; // privilege, then ExitWindowsEx
};
