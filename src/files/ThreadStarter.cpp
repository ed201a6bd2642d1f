#include "files/ThreadStarter.h"

#include <system_error>
#include <utility>

#include <windows.h>

namespace files {

using base::SysResult;

namespace {

class SystemThreadStarter final : public IThreadStarter {
  public:
    SysResult Start(std::jthread& thread, std::function<void()> work) override {
        try {
            thread = std::jthread(std::move(work));
            return {};
        } catch (const std::system_error&) {
            // The runtime reports the failure in its own terms (EAGAIN);
            // what the system lacked was memory for the thread.
            return SysResult::Failed(ERROR_NOT_ENOUGH_MEMORY);
        }
    }
};

SystemThreadStarter systemStarter;
IThreadStarter* currentStarter = &systemStarter;

} // namespace

IThreadStarter& CurrentThreadStarter() {
    return *currentStarter;
}

ScopedThreadStarter::ScopedThreadStarter(IThreadStarter& starter)
    : ScopedReplacement(currentStarter, starter) {}

} // namespace files
