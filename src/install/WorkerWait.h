#pragma once
// Long work off the user-interface thread: the work runs on a worker thread
// while the calling thread keeps processing the window's messages, so that
// the window answers, repaints and shows progress throughout.
#include <functional>

namespace install {

// The longest the calling thread goes without processing messages.
constexpr unsigned kPumpIntervalMs = 100;

// Runs `work` on a worker thread. Meanwhile, whenever a message arrives and
// at least every kPumpIntervalMs, calls `pump` (which processes the waiting
// messages) and then `tick`. Returns when `work` has ended, passing on
// whatever it raised.
void RunOnWorker(const std::function<void()>& work, const std::function<void()>& pump,
                 const std::function<void()>& tick);

} // namespace install
