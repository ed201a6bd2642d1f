#pragma once
// The installation log on disk: the progress log's lines as they finally
// stand, each with its local date and time, after a header and followed by
// the error report's text when a raised error ended the run. Appended to
// "Install.log" in the target directory and written to the /LOG file.
// Writing it never stops an installation.
#include <optional>
#include <string>
#include <vector>

#include "install/InstallHost.h"
#include "install/InstallRun.h"
#include "install/portable/InstallLogText.h"

namespace install {

inline constexpr wchar_t kInstallLogName[] = L"Install.log";

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

TLogStamp LocalStamp();

// The installer's version from its version resource ("1.0.0.0"), or "?".
std::wstring InstallerVersion(HMODULE module);

// The full path of `path` as the process resolves it now.
std::wstring FullPath(const std::wstring& path);

// Appends one block to a log file, beginning a new file with the byte-order
// mark, or replaces the file with it. The system's error code, 0 on success.
DWORD AppendToLogFile(const std::wstring& path, const std::string& bytes);
DWORD ReplaceLogFile(const std::wstring& path, const std::string& bytes);

struct TLogTargets {
    std::wstring switches = L"(нет)";    // as the header shows them
    std::optional<std::wstring> logFile; // /LOG
};

// The exit code of a run that the check before it refused: nothing was
// changed (files in use, or too little room).
inline constexpr int kExitNothingChanged = 4;

// The exit code of a run that raised no error: 4 when the check before it
// refused it, 2 when it stopped, 3 when it finished with a failed step, 0
// otherwise (an interactive run: 0 unless it stopped or was refused).
int RunExitCode(TRunEnd end, bool failedLine, bool unattended);

// Runs the install with its log recorded and written: Install.log in the
// target directory and the /LOG file. Gives the exit code; an error raised
// by the run is written to the log (exit code 2) and passed on. A log file
// that cannot be written is reported once: a line in the progress log (and
// so in the other file).
int RunInstallLogged(const InstallEnvironment& env, const TLogTargets& targets);

// The line the log gets when Windows ends the session during a run.
inline constexpr wchar_t kSessionEndedLine[] = L"Установка прервана: сеанс Windows завершается";

// When the session ends while a logged run is under way: the run's log gets
// kSessionEndedLine and is written with exit code 2 at once, since the
// process will not live to write it later. False when no run is under way.
bool LogSessionEndDuringRun();

} // namespace install
