#pragma once
// The progress log the install run and its steps write to: the window's
// list, the command line's memory log, and the recorder that keeps
// Install.log.
#include <string>

namespace install {

// The progress log: lines are only appended or rewritten in place, so an
// index returned by Add stays valid for the whole run.
class IProgressLog {
  public:
    virtual ~IProgressLog() = default;
    virtual int Add(const std::wstring& line) = 0;
    virtual std::wstring Line(int index) const = 0;
    virtual void SetLine(int index, const std::wstring& line) = 0;
    virtual void Repaint() = 0;
    // The cause of the failure the line at `index` reports (the system's
    // text for its error code). Install.log writes it after the line; the
    // window and the console show the line as it stands, without it.
    virtual void SetCause(int index, const std::wstring& cause) = 0;
};

} // namespace install
