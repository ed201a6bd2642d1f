#pragma once
// A block writer that lets a number of bytes through and then fails as a
// full disk does.
#include "files/BlockWriter.h"

namespace testfiles {

class FailingWriter final : public files::IBlockWriter {
  public:
    explicit FailingWriter(DWORD bytesBeforeFailure) : left_(bytesBeforeFailure) {}

    base::SysResult WriteBlock(HANDLE file, const void* data, DWORD size) override {
        const DWORD passed = size < left_ ? size : left_;
        DWORD written = 0;
        if (passed > 0 && !WriteFile(file, data, passed, &written, nullptr)) {
            return base::SysResult::LastError();
        }
        left_ -= passed;
        if (passed < size) {
            ++failures_;
            return base::SysResult::Failed(ERROR_DISK_FULL);
        }
        return {};
    }

    int failures() const { return failures_; }

  private:
    DWORD left_;
    int failures_ = 0;
};

} // namespace testfiles
