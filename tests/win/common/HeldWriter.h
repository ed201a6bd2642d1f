#pragma once
// A block writer that holds the writes made on other threads than the one
// that made it (the install run's copy worker) until the test releases them,
// so that a copy lasts exactly as long as the test needs. A hold ends by
// itself after 30 s, so that a broken test fails instead of hanging.
#include <functional>

#include "files/BlockWriter.h"
#include "base/Handles.h"

namespace testfiles {

class HeldWriter final : public files::IBlockWriter {
  public:
    HeldWriter() : release_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

    base::SysResult WriteBlock(HANDLE file, const void* data, DWORD size) override {
        if (GetCurrentThreadId() != owner_) {
            if (whileHeld) {
                whileHeld();
            }
            WaitForSingleObject(release_.get(), 30000);
        }
        DWORD written = 0;
        return WriteFile(file, data, size, &written, nullptr) && written == size
                   ? base::SysResult()
                   : base::SysResult::LastError();
    }

    void Release() { SetEvent(release_.get()); }

    // Runs on the writing thread before each held write.
    std::function<void()> whileHeld;

  private:
    base::UniqueHandle release_;
    DWORD owner_ = GetCurrentThreadId();
};

} // namespace testfiles
