#include "install/RecordingLog.h"

#include <algorithm>

#include "install/InstallRun.h"
#include "install/LogFile.h"

namespace install {

int TRecordingLog::Add(const std::wstring& line) {
    const int index = shown_.Add(line);
    lines_.push_back({LocalStamp(), line});
    shownIndex_.push_back(index);
    return index;
}

void TRecordingLog::SetLine(int index, const std::wstring& line) {
    shown_.SetLine(index, line);
    const auto found = std::find(shownIndex_.begin(), shownIndex_.end(), index);
    if (found != shownIndex_.end()) {
        lines_[static_cast<std::size_t>(found - shownIndex_.begin())].text = line;
    }
}

void TRecordingLog::SetCause(int index, const std::wstring& cause) {
    shown_.SetCause(index, cause);
    const auto found = std::find(shownIndex_.begin(), shownIndex_.end(), index);
    if (found != shownIndex_.end()) {
        lines_[static_cast<std::size_t>(found - shownIndex_.begin())].cause = cause;
    }
}

bool TRecordingLog::HasFailedLine() const {
    return std::any_of(lines_.begin(), lines_.end(), [](const TLoggedLine& line) {
        return line.text.find(kFailedMark) != std::wstring::npos ||
               line.text.starts_with(kDriverNotDone);
    });
}

} // namespace install
