#pragma once
// Starting the copy engine's threads. The copy starts them through the
// current starter, so that a test can replace it process-wide and make a
// start fail, as it does when the process runs out of memory or threads.
#include <functional>
#include <thread>

#include "base/ScopedReplacement.h"
#include "base/SysResult.h"

namespace files {

class IThreadStarter {
  public:
    virtual ~IThreadStarter() = default;
    // Starts `work` on a new thread held by `thread`; the system's error
    // code when the thread could not be started (`thread` then holds none).
    virtual base::SysResult Start(std::jthread& thread, std::function<void()> work) = 0;
};

// The starter in use: std::jthread unless a test replaced it.
IThreadStarter& CurrentThreadStarter();

// Puts `starter` in place of the current thread starter for its lifetime.
class ScopedThreadStarter : public base::ScopedReplacement<IThreadStarter> {
  public:
    explicit ScopedThreadStarter(IThreadStarter& starter);
};

} // namespace files
