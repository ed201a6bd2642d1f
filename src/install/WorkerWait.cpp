#include "install/WorkerWait.h"

#include <exception>
#include <windows.h>

#include "base/Handles.h"

namespace install {

using base::UniqueHandle;

namespace {

// One piece of work handed to the process's thread pool, and what it left.
struct WorkItem {
    const std::function<void()>& work;
    HANDLE done;
    std::exception_ptr failure;
};

void CALLBACK RunWorkItem(PTP_CALLBACK_INSTANCE instance, void* context) {
    auto& item = *static_cast<WorkItem*>(context);
    try {
        item.work();
    } catch (...) {
        item.failure = std::current_exception();
    }
    // Set only once the callback has returned, so that the waiting thread
    // may let the item go as soon as it sees the event.
    SetEventWhenCallbackReturns(instance, item.done);
}

// Waits for the event without processing messages (the way out when `pump`
// or `tick` raised: the item must outlive the work).
class WaitOnExit {
  public:
    explicit WaitOnExit(HANDLE done) : done_(done) {}
    ~WaitOnExit() { WaitForSingleObject(done_, INFINITE); }
    WaitOnExit(const WaitOnExit&) = delete;
    WaitOnExit& operator=(const WaitOnExit&) = delete;

  private:
    HANDLE done_;
};

} // namespace

// The work goes to the thread pool rather than to a thread of its own: the
// run hands over a piece of work per file, and under Wine on a busy machine
// starting and ending a thread took 15 to 25 ms, more than copying a small
// file with its flush. The pool keeps its threads between the pieces.
void RunOnWorker(const std::function<void()>& work, const std::function<void()>& pump,
                 const std::function<void()>& tick) {
    const UniqueHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    WorkItem item{work, done.get(), nullptr};
    if (!done || !TrySubmitThreadpoolCallback(RunWorkItem, &item, nullptr)) {
        work(); // without an event or a pool thread, the work runs here
        return;
    }
    {
        const WaitOnExit waitOnExit(done.get());
        HANDLE waitFor = done.get();
        for (;;) {
            const DWORD woke = MsgWaitForMultipleObjectsEx(1, &waitFor, kPumpIntervalMs,
                                                           QS_ALLINPUT, MWMO_INPUTAVAILABLE);
            if (woke == WAIT_OBJECT_0 || woke == WAIT_FAILED) {
                break; // WAIT_FAILED: the wait on leaving waits for the work instead
            }
            pump();
            tick();
        }
    }
    if (item.failure) {
        std::rethrow_exception(item.failure);
    }
}

} // namespace install
