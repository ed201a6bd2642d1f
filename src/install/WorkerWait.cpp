#include "install/WorkerWait.h"

#include <exception>
#include <thread>
#include <windows.h>

#include "base/Handles.h"

namespace install {

using base::UniqueHandle;

void RunOnWorker(const std::function<void()>& work, const std::function<void()>& pump,
                 const std::function<void()>& tick) {
    const UniqueHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!done) {
        work(); // without an event to wait on, the work runs here
        return;
    }
    std::exception_ptr failure;
    // Declared after `done` and `failure`: if `pump` or `tick` raises, the
    // worker is joined before what it uses goes away.
    std::jthread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        SetEvent(done.get());
    });
    HANDLE waitFor = done.get();
    for (;;) {
        const DWORD woke = MsgWaitForMultipleObjectsEx(1, &waitFor, kPumpIntervalMs, QS_ALLINPUT,
                                                       MWMO_INPUTAVAILABLE);
        if (woke == WAIT_OBJECT_0 || woke == WAIT_FAILED) {
            break; // WAIT_FAILED: the join below waits for the worker instead
        }
        pump();
        tick();
    }
    worker.join();
    if (failure) {
        std::rethrow_exception(failure);
    }
}

} // namespace install
