#include "install/InstallLog.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <span>

#include "install/portable/TargetPath.h"
#include "base/SysError.h"
#include "base/AppError.h"
#include "base/Resources.h"
#include "base/ErrorText.h"
#include "base/Handles.h"
#include "base/LongPath.h"

namespace install {

using base::ErrorText;
using base::ResourceBytes;
using base::SysErrorMessage;
using base::UniqueHandle;
using base::WithFullStop;

namespace {

constexpr DWORD kFixedFileInfoSignature = 0xFEEF04BD;

DWORD WriteAll(HANDLE file, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        const auto wanted = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        if (!WriteFile(file, bytes.data() + done, wanted, &written, nullptr)) {
            return GetLastError();
        }
        done += written;
    }
    return FlushFileBuffers(file) ? 0 : GetLastError();
}

DWORD WriteLogFile(const std::wstring& path, const std::string& bytes, DWORD disposition) {
    const UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                        disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return GetLastError();
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) {
        return GetLastError();
    }
    const LARGE_INTEGER none{};
    if (!SetFilePointerEx(file.get(), none, nullptr, FILE_END)) {
        return GetLastError();
    }
    return WriteAll(file.get(),
                    size.QuadPart == 0 ? std::string(kUtf8ByteOrderMark) + bytes : bytes);
}

// The target path as the install run will take it, resolved now: the run
// later makes the target directory current, where a relative path would
// resolve elsewhere. Empty when there is no path.
std::wstring FullTargetPath(const IInstallHost& host) {
    const TTargetPath target = CheckTargetPath(host.PathText());
    return target.path.empty() ? std::wstring() : FullPath(target.path);
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
                WriteOne(FullPath(*targets_.logFile), ReplaceLogFile);
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

TLogStamp LocalStamp() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

std::wstring InstallerVersion(HMODULE module) {
    const std::span<const std::uint8_t> version =
        ResourceBytes(module, MAKEINTRESOURCEW(1), RT_VERSION);
    for (std::size_t offset = 0; offset + sizeof(VS_FIXEDFILEINFO) <= version.size(); offset += 4) {
        VS_FIXEDFILEINFO fixed{};
        std::memcpy(&fixed, version.data() + offset, sizeof(fixed));
        if (fixed.dwSignature == kFixedFileInfoSignature) {
            return std::to_wstring(HIWORD(fixed.dwFileVersionMS)) + L"." +
                   std::to_wstring(LOWORD(fixed.dwFileVersionMS)) + L"." +
                   std::to_wstring(HIWORD(fixed.dwFileVersionLS)) + L"." +
                   std::to_wstring(LOWORD(fixed.dwFileVersionLS));
        }
    }
    return L"?";
}

std::wstring FullPath(const std::wstring& path) {
    return base::FullPathOf(path);
}

DWORD AppendToLogFile(const std::wstring& path, const std::string& bytes) {
    return WriteLogFile(path, bytes, OPEN_ALWAYS);
}

DWORD ReplaceLogFile(const std::wstring& path, const std::string& bytes) {
    return WriteLogFile(path, bytes, CREATE_ALWAYS);
}

int RunExitCode(TRunEnd end, bool failedLine, bool unattended) {
    if (end == TRunEnd::Refused) {
        return kExitNothingChanged;
    }
    if (end == TRunEnd::Stopped) {
        return 2;
    }
    return failedLine && unattended ? 3 : 0;
}

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
