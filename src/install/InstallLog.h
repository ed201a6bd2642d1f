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
#include "install/InstallerVersion.h"
#include "install/LogFile.h"
#include "install/RecordingLog.h"
#include "install/RunExitCode.h"

namespace install {

struct TLogTargets {
    std::wstring switches = L"(нет)";    // as the header shows them
    std::optional<std::wstring> logFile; // /LOG
};

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
