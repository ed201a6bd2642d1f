#pragma once
// The system actions done for real: the screen's pixels per inch, the
// display set-up routine's font-size switch and the restart.
#include "system/SystemActions.h"

namespace sys {

class RealSystemActions : public ISystemActions {
  public:
    // The screen's horizontal logical pixels per inch; 0 when the screen's
    // device context cannot be had.
    int ScreenLogPixelsX() override;
    // syssetup.dll's SetupChangeFontSize(no owner, "120"); silent when the
    // library or the routine is missing.
    bool SetLargeFonts() override;
    bool ShutdownWindows(UINT exitFlags) override;
};

} // namespace sys
