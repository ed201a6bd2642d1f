#pragma once
// The status line of one file's copy. A copy that runs longer than half a
// second shows its percentage after the line's text ("....37%"), rewritten
// in place at most ten times a second; the result word replaces it at the
// end, so that the finished log reads as if no percentage had been shown.
#include <cstdint>
#include <string>

#include "install/ProgressLog.h"

namespace install {

class CopyProgressLine {
  public:
    static constexpr uint64_t kFirstShowMs = 500;
    static constexpr uint64_t kRewriteMs = 100;

    // `line` is the index of the line in `log`; its text now is the base.
    CopyProgressLine(IProgressLog& log, int line, uint64_t startMs);

    // Shows the share `copied` of `size` as it is at `nowMs`, when due.
    void Update(uint64_t copied, uint64_t size, uint64_t nowMs);

    // Replaces any percentage by the result word.
    void Finish(const std::wstring& word);

  private:
    IProgressLog& log_;
    int line_;
    std::wstring base_;
    uint64_t startMs_;
    uint64_t shownMs_ = 0;
    int shownPercent_ = -1;
};

} // namespace install
