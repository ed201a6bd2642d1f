#pragma once
// The progress shown on a window's taskbar button (ITaskbarList3). Where
// the shell offers no such list, nothing is shown and nothing fails.
#include <cstdint>
#include <shobjidl.h>
#include <windows.h>

#include "base/Handles.h"

namespace app {

// The taskbar as the main window uses it; tests put a recorder in its place.
class ITaskbarButton {
  public:
    virtual ~ITaskbarButton() = default;
    // `done` of `total` on the button of `window`; `total` 0 removes it.
    virtual void ShowProgress(HWND window, uint64_t done, uint64_t total) = 0;
};

class TaskbarProgress final : public ITaskbarButton {
  public:
    void ShowProgress(HWND window, uint64_t done, uint64_t total) override;

  private:
    // Made on first use, so that starting the program costs no COM call.
    ITaskbarList3* List();

    base::ComPtr<ITaskbarList3> list_;
    bool tried_ = false;
};

} // namespace app
