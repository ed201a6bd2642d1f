#include "install/InstallLog.h"

#include <exception>

#include "install/portable/TargetPath.h"
#include "base/SysError.h"
#include "base/AppError.h"
#include "base/ErrorText.h"
#include "base/LongPath.h"

namespace install {

using base::ErrorText;
using base::SysErrorMessage;
using base::WithFullStop;

namespace {

// The target path as the install run will take it, resolved now: the run
// later makes the target directory current, where a relative path would
// resolve elsewhere. Empty when there is no path.
std::wstring FullTargetPath(const IInstallHost& host) {
    const TTargetPath target = CheckTargetPath(host.PathText());
    return target.path.empty() ? std::wstring() : base::FullPathOf(target.path);
}

class LoggedRun {
  public:
    LoggedRun(const InstallEnvironment& env, const TLogTargets& targets)
        : env_(env), targets_(targets), recorder_(env.host.Log()),
          targetDir_(FullTargetPath(env.host)) {
        block_.started = LocalStamp();
        block_.version = InstallerVersion(env.resources);
        block_.medium = env.sourcePath;
        block_.target = targetDir_.empty() ? env.host.PathText() : targetDir_;
        block_.switches = targets.switches;
    }

    int Run() {
        const struct Current {
            explicit Current(LoggedRun* run) { current = run; }
            ~Current() { current = nullptr; }
        } under{this};
        RecordingHost host(env_.host, recorder_);
        const InstallEnvironment recorded{host,           env_.dialogs,    env_.system,
                                          env_.resources, env_.sourcePath, env_.unattended};
        try {
            const TRunEnd end = RunInstall(recorded);
            Write(RunExitCode(end, recorder_.HasFailedLine(), env_.unattended.has_value()), {});
        } catch (...) {
            Write(2, WithFullStop(ErrorText(std::current_exception())));
            throw;
        }
        return block_.exitCode;
    }

    // The run under way, whose log a session end writes.
    static inline LoggedRun* current = nullptr;

    void EndedBySession() {
        recorder_.Add(kSessionEndedLine);
        Write(2, {});
    }

  private:
    // The window's host with the recording log in place of its own.
    class RecordingHost : public IInstallHost {
      public:
        RecordingHost(IInstallHost& host, TRecordingLog& log) : host_(host), log_(log) {}
        std::wstring PathText() const override { return host_.PathText(); }
        int WindowsIndex() const override { return host_.WindowsIndex(); }
        bool DriverInstallChecked() const override { return host_.DriverInstallChecked(); }
        bool IsSisterBrand() const override { return host_.IsSisterBrand(); }
        void ShowPage(TWizardPage page) override { host_.ShowPage(page); }
        void ClearAndShowLog() override {
            log_.Clear();
            host_.ClearAndShowLog();
        }
        IProgressLog& Log() override { return log_; }
        void EnableExit() override { host_.EnableExit(); }
        void SetCanClose(bool canClose) override { host_.SetCanClose(canClose); }
        void SetHourglass(bool hourglass) override { host_.SetHourglass(hourglass); }
        void SetCopyFrom(const std::wstring& path) override { host_.SetCopyFrom(path); }
        void ProcessMessages() override { host_.ProcessMessages(); }
        void Close() override { host_.Close(); }
        void WaitFor(const std::function<void()>& work,
                     const std::function<void()>& tick) override {
            host_.WaitFor(work, tick);
        }
        void ShowProgress(uint64_t done, uint64_t total) override {
            host_.ShowProgress(done, total);
        }

      private:
        IInstallHost& host_;
        TRecordingLog& log_;
    };

    // Install.log first: when it fails, the line saying so reaches the
    // window and the /LOG file.
    void Write(int exitCode, const std::wstring& errorReport) noexcept {
        try {
            block_.exitCode = exitCode;
            block_.errorReport = errorReport;
            if (!targetDir_.empty()) {
                WriteOne(targetDir_ + kInstallLogName, AppendToLogFile);
            }
            if (targets_.logFile) {
                WriteOne(base::FullPathOf(*targets_.logFile), ReplaceLogFile);
            }
        } catch (...) {
            // Writing the log never stops an installation.
        }
    }

    void WriteOne(const std::wstring& path,
                  DWORD (*write)(const std::wstring&, const std::string&)) {
        block_.lines = recorder_.Lines();
        if (const DWORD error = write(path, FormatInstallLog(block_))) {
            recorder_.Add(L"Журнал установки не записан в \"" + path + L"\": " +
                          SysErrorMessage(error));
        }
    }

    const InstallEnvironment& env_;
    const TLogTargets& targets_;
    TRecordingLog recorder_;
    std::wstring targetDir_;
    TInstallLogBlock block_;
};

} // namespace

int RunInstallLogged(const InstallEnvironment& env, const TLogTargets& targets) {
    return LoggedRun(env, targets).Run();
}

bool LogSessionEndDuringRun() {
    if (LoggedRun::current == nullptr) {
        return false;
    }
    LoggedRun::current->EndedBySession();
    return true;
}

} // namespace install
