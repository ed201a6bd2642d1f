#pragma once
// What the program's top-level windows answer when Windows ends the session
// (log-off, restart, shutdown). The session end is refused while the suite's
// files are copied, with a reason Windows shows; when it comes anyway during
// an install run, the run's log says so and the program ends at once with a
// code that is not success.
#include <windows.h>

#include "base/Handles.h"

namespace app {

inline constexpr wchar_t kShutdownBlockReason[] = L"Идёт установка комплекса";

// The answer to WM_QUERYENDSESSION: TRUE grants it.
LRESULT AnswerQueryEndSession(bool canClose);

// WM_ENDSESSION: when the session ends (`ending`) during an install run,
// writes the run's log and ends the process with exit code 2.
void AnswerEndSession(WPARAM ending);

// Shows or removes the reason Windows gives for `window` refusing the end.
void SetShutdownBlock(HWND window, bool blocked);

// A hidden top-level window for the run without a window: it answers the
// session's end as the main window does.
class TSessionWindow {
  public:
    TSessionWindow();
    // False while the session end must be refused.
    void SetCanClose(bool canClose);
    HWND Handle() const { return handle_.get(); }

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    base::UniqueWindow handle_;
    bool canClose_ = true;
};

inline constexpr wchar_t kSessionWindowClass[] = L"TInstallSession";

} // namespace app
