#pragma once
// Blocking work (a broadcast that may wait on hung windows, a tree copy, a
// child process) is handed to a runner that keeps the window answering
// meanwhile: the install run passes its host's WaitFor, which runs the work
// on a worker thread while the window's thread processes messages.
#include <functional>

namespace base {

using TRunBlocking = std::function<void(const std::function<void()>& work)>;

// Runs the work on the calling thread, for callers that have no window.
inline void RunHere(const std::function<void()>& work) {
    work();
}

} // namespace base
