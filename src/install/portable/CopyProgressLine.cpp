#include "install/portable/CopyProgressLine.h"

#include <algorithm>

namespace install {

CopyProgressLine::CopyProgressLine(IProgressLog& log, int line, uint64_t startMs)
    : log_(log), line_(line), base_(log.Line(line)), startMs_(startMs) {}

void CopyProgressLine::Update(uint64_t copied, uint64_t size, uint64_t nowMs) {
    if (size == 0 || nowMs < startMs_ + kFirstShowMs) {
        return;
    }
    if (shownPercent_ >= 0 && nowMs < shownMs_ + kRewriteMs) {
        return;
    }
    // copied * 100 would overflow only past 160 PiB.
    const int percent = static_cast<int>(std::min<uint64_t>(copied, size) * 100 / size);
    if (percent == shownPercent_) {
        return;
    }
    log_.SetLine(line_, base_ + std::to_wstring(percent) + L"%");
    shownPercent_ = percent;
    shownMs_ = nowMs;
}

void CopyProgressLine::Finish(const std::wstring& word) {
    log_.SetLine(line_, base_ + word);
}

} // namespace install
