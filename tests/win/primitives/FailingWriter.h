#pragma once
// A block writer that lets a number of bytes through and then fails as a
// full disk does.
#include "files/BlockWriter.h"

namespace testfiles {

class FailingWriter final : public files::IBlockWriter {
  public:
    explicit FailingWriter(DWORD bytesBeforeFailure) : left_(bytesBeforeFailure) {}

    bool WriteBlock(HANDLE file, const void* data, DWORD size) override {
        const DWORD passed = size < left_ ? size : left_;
        DWORD written = 0;
        if (passed > 0 && !WriteFile(file, data, passed, &written, nullptr)) {
            return false;
        }
        left_ -= passed;
        if (passed < size) {
            ++failures_;
            SetLastError(ERROR_DISK_FULL);
            return false;
        }
        return true;
    }

    int failures() const { return failures_; }

  private:
    DWORD left_;
    int failures_ = 0;
};

} // namespace testfiles
