#pragma once
// The run's progress log as Install.log will hold it: every line passed on
// to the log shown and kept with its time and cause.
#include <vector>

#include "install/ProgressLog.h"
#include "install/portable/InstallLogText.h"

namespace install {

// Passes every line on to the window's log and keeps its own copy, each
// line stamped with the local time it was added.
class TRecordingLog : public IProgressLog {
  public:
    explicit TRecordingLog(IProgressLog& shown) : shown_(shown) {}
    int Add(const std::wstring& line) override;
    std::wstring Line(int index) const override { return shown_.Line(index); }
    void SetLine(int index, const std::wstring& line) override;
    void Repaint() override { shown_.Repaint(); }
    void SetCause(int index, const std::wstring& cause) override;

    void Clear() { lines_.clear(); }
    const std::vector<TLoggedLine>& Lines() const { return lines_; }
    // Whether a line carries the failure mark.
    bool HasFailedLine() const;

  private:
    IProgressLog& shown_;
    std::vector<TLoggedLine> lines_;
    std::vector<int> shownIndex_;
};

} // namespace install
