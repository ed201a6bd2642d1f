#pragma once
// The progress shown on a window's taskbar button (ITaskbarList3). Where
// the shell offers no such list, nothing is shown and nothing fails.
#include <cstdint>
#include <shobjidl.h>
#include <windows.h>

#include "base/Handles.h"

namespace app {

class TaskbarProgress {
  public:
    // `done` of `total`; `total` 0 removes the progress.
    void Show(HWND window, uint64_t done, uint64_t total);

  private:
    // Made on first use, so that starting the program costs no COM call.
    ITaskbarList3* List();

    base::ComPtr<ITaskbarList3> list_;
    bool tried_ = false;
};

} // namespace app
