#include "install/InstallRun.h"

#include <atomic>
#include <initializer_list>
#include <vector>

#include "base/LongPath.h"
#include "ResourceIds.h"
#include "base/portable/BlankText.h"
#include "install/CreateNSI.h"
#include "install/DatabaseUpdate.h"
#include "files/DirectoryTree.h"
#include "files/FileCopy.h"
#include "install/ProcessRun.h"
#include "files/FileReplace.h"
#include "install/InstallHost.h"
#include "install/InstallLog.h"
#include "install/MediumLayout.h"
#include "install/Preflight.h"
#include "install/Registration.h"
#include "install/Shortcut.h"
#include "base/SysError.h"
#include "base/SysResult.h"
#include "shared/VS_Common_Proc.h"
#include "system/DisplayFontSize.h"
#include "install/FontStep.h"
#include "shared/UserDialogs.h"
#include "base/FileQueries.h"
#include "install/portable/CopyProgressLine.h"
#include "base/AppError.h"
#include "base/ErrorText.h"

namespace install {

using base::DirectoryExists;
using base::ErrorText;
using base::SysErrorMessage;
using base::SysFailure;
using base::SysResult;
using base::TrimmedBlanks;
using files::ClearReadOnlyTree;
using files::CopyFileKeepDate;
using files::CopyProgress;
using files::CreateDirectoryIfMissing;
using files::ForceDirectories;
using files::SweepStaleTempFilesAgain;
using files::TreeFiles;
using shared::GetResString;
using shared::ShellCopyDir;
using sys::ScreenHasSmallFonts;
using ui::TModalResult;
using ui::TMsgDlgButtons;
using ui::TMsgDlgType;

namespace {

const wchar_t* const kDone = L"Завершено";
const wchar_t* const kFailed = kFailedMark;
const wchar_t* const kFilesInUseText =
    L"Установка не начата, ничего не изменено: файлы установленного комплекса заняты:";

// FCanClose false and the hourglass while the suite's files are copied;
// restored, and the taskbar's progress removed, however the stretch is left.
class GuardedStretch {
  public:
    explicit GuardedStretch(IInstallHost& host) : host_(host) {
        host_.SetCanClose(false);
        host_.SetHourglass(true);
    }
    ~GuardedStretch() {
        host_.ShowProgress(0, 0);
        host_.SetCanClose(true);
        host_.SetHourglass(false);
    }
    GuardedStretch(const GuardedStretch&) = delete;
    GuardedStretch& operator=(const GuardedStretch&) = delete;

  private:
    IInstallHost& host_;
};

class InstallRun {
  public:
    explicit InstallRun(const InstallEnvironment& env)
        : env_(env), host_(env.host), log_(env.host.Log()) {}

    TRunEnd Run() {
        SweepStaleTempFilesAgain();
        target_ = std::wstring(TrimmedBlanks(host_.PathText()));
        fullTarget_ = base::FullPathOf(target_); // before the run changes the current directory
        host_.ClearAndShowLog();
        host_.ShowPage(TWizardPage::tsProgressInstall);
        host_.ProcessMessages();
        source_ = env_.sourcePath;
        host_.SetCopyFrom(source_);

        if (!NothingInTheWay()) {
            host_.EnableExit();
            return TRunEnd::Refused;
        }
        if (env_.unattended) {
            // What the path page creates when it is left.
            CreateDirectoryIfMissing(target_);
            CreateDirectoryIfMissing(target_ + std::wstring(MediumLayout::SettingsDir));
        }
        if (!CreateTargetDirectory()) {
            return TRunEnd::Stopped;
        }
        WriteInitialOptions(target_);
        if (!CopySuiteFiles()) {
            return TRunEnd::Stopped;
        }
        InstallFontsQuietly();
        InstallDriver();
        UpdateDatabaseFromBackup(target_, source_, Blocking());
        CreateDesktopLink();
        RegisterInstallation(TRegistration{fullTarget_, source_, host_.WindowsIndex(),
                                           host_.IsSisterBrand(), env_.resources},
                             log_);
        host_.EnableExit();
        Finish();
        return TRunEnd::Finished;
    }

  private:
    TRunFiles RunFiles() const {
        const bool withDriver =
            env_.unattended ? env_.unattended->runDriver : host_.DriverInstallChecked();
        return TRunFiles{source_, target_, host_.WindowsIndex(), withDriver};
    }

    // The check before anything is written: the files the run replaces can
    // be replaced now (asked again on "Повтор" until they can, or given up),
    // and the drive has room. False, with the reason in the log, when the
    // run must not begin.
    bool NothingInTheWay() {
        const TRunFiles files = RunFiles();
        for (;;) {
            const std::vector<TFileInUse> inUse = FilesInUse(FilesTheRunReplaces(files));
            if (inUse.empty()) {
                break;
            }
            const std::vector<std::wstring> lines = FilesInUseLines(inUse);
            if (env_.unattended || !AskToRetry(lines)) {
                log_.Add(kFilesInUseText);
                for (const std::wstring& line : lines) {
                    log_.Add(line);
                }
                return false;
            }
        }
        if (const auto shortage = RoomShortage(target_, BytesTheRunCopies(files))) {
            ReportFailure(RoomShortageText(*shortage));
            return false;
        }
        return true;
    }

    bool AskToRetry(const std::vector<std::wstring>& lines) {
        std::wstring text = kFilesInUseText;
        for (const std::wstring& line : lines) {
            text += L"\r\n" + line;
        }
        text += L"\r\n\r\nЗакройте программы, которые их используют, и нажмите \"Повтор\".";
        return env_.dialogs.MessageDlg(text, TMsgDlgType::mtWarning,
                                       TMsgDlgButtons::mbRetryCancel) == TModalResult::mrRetry;
    }

    // Everything inside the guarded stretch, from the settings files to the
    // last extension library. False when the run stopped there.
    bool CopySuiteFiles() {
        GuardedStretch stretch(host_);
        host_.ProcessMessages();
        const int line = log_.Add(L"Создание настроечных файлов....");
        host_.ProcessMessages();
        CreateNsiFiles(target_ + std::wstring(MediumLayout::SettingsDir));
        Complete(line, kDone);

        if (!CreateDtaDirectory()) {
            return false;
        }
        copyTotal_ = BytesToCopy(
            {&MediumLayout::Group1Database, &MediumLayout::FirebirdGroupFor(host_.WindowsIndex()),
             &MediumLayout::Group3CharacterSets, &MediumLayout::Group4StandardUdf,
             &MediumLayout::Group5InHouseUdf});
        if (!CopyDatabase() || !CopyGroup(MediumLayout::FirebirdGroupFor(host_.WindowsIndex()))) {
            return false;
        }
        CreateDirectoryIfMissing(target_ + std::wstring(MediumLayout::TargetIntlDir));
        if (!CopyGroup(MediumLayout::Group3CharacterSets)) {
            return false;
        }
        CreateDirectoryIfMissing(target_ + std::wstring(MediumLayout::TargetUdfDir));
        if (!CopyGroup(MediumLayout::Group4StandardUdf)) {
            return false;
        }
        CopyGroup(MediumLayout::Group5InHouseUdf);
        WriteLastNumFile(target_);
        if (host_.IsSisterBrand()) {
            WriteBtoothIni(target_);
        }
        return true;
    }

    bool CreateTargetDirectory() {
        return CreateAnnounced(target_, L"Каталог создан...", L"Ошибка при создании каталога!");
    }

    bool CreateDtaDirectory() {
        return CreateAnnounced(target_ + std::wstring(MediumLayout::DatabaseDir),
                               L"Каталог <DTAfb> создан...",
                               L"Ошибка при создании каталога <DTAfb>!");
    }

    // Creates a missing directory and says so in the log; a failure is shown
    // in an error box and logged. False when the directory could not be made.
    bool CreateAnnounced(const std::wstring& directory, const wchar_t* created,
                         const wchar_t* failed) {
        if (DirectoryExists(directory)) {
            return true;
        }
        if (!CreateDirectoryW(directory.c_str(), nullptr)) {
            const DWORD error = GetLastError();
            log_.SetCause(ReportFailure(failed), SysErrorMessage(error));
            return false;
        }
        log_.Add(created);
        host_.ProcessMessages();
        return true;
    }

    // Shows `text` in an error box (unless unattended) and logs it; the
    // index of its log line.
    int ReportFailure(const std::wstring& text) {
        if (!env_.unattended) {
            env_.dialogs.MessageDlg(text, TMsgDlgType::mtError, TMsgDlgButtons::mbOK);
        }
        return log_.Add(text);
    }

    // The database (group 1). A reinstall keeps the clinic's database: once
    // the medium's copy is whole and flushed beside it, the old file is
    // renamed to QZ7.FDB.<yyyymmdd-hhmmss>.bak (with "-2", "-3", ... before
    // ".bak" when that name is taken) and the copy moved in right after.
    bool CopyDatabase() {
        const MediumLayout::FileGroup& group = MediumLayout::Group1Database;
        const std::wstring name(MediumLayout::DatabaseFiles[0]);
        const std::wstring directory = target_ + std::wstring(group.targetDir);
        const std::wstring stem = directory + name + L"." + NowStamp();
        const auto backupName = [&stem](int attempt) {
            return stem + (attempt == 1 ? L"" : L"-" + std::to_wstring(attempt)) + L".bak";
        };
        std::wstring keptPath;
        const bool copied = CopyAnnounced(
            name,
            [&](const std::wstring& from, const std::wstring& to, const CopyProgress& progress) {
                return CopyFileKeepDate(from, to, backupName, keptPath, progress);
            },
            group);
        if (!keptPath.empty()) {
            log_.Add(L"Прежняя база данных сохранена: " + keptPath.substr(directory.size()));
        }
        return copied;
    }

    // The local date and time as yyyymmdd-hhmmss.
    static std::wstring NowStamp() {
        SYSTEMTIME now{};
        GetLocalTime(&now);
        wchar_t stamp[32];
        swprintf(stamp, 32, L"%04u%02u%02u-%02u%02u%02u", now.wYear, now.wMonth, now.wDay,
                 now.wHour, now.wMinute, now.wSecond);
        return stamp;
    }

    // Copies one file group; false when a copy of a stopping group failed.
    bool CopyGroup(const MediumLayout::FileGroup& group) {
        for (const std::wstring_view name : group.files) {
            const auto copy = [](const std::wstring& from, const std::wstring& to,
                                 const CopyProgress& progress) {
                return CopyFileKeepDate(from, to, progress);
            };
            if (!CopyAnnounced(std::wstring(name), copy, group) && group.stopOnError) {
                return false;
            }
        }
        return true;
    }

    // The sizes of the groups' files on the medium (a missing file counts
    // nothing): the whole of the taskbar's progress.
    std::uint64_t BytesToCopy(std::initializer_list<const MediumLayout::FileGroup*> groups) const {
        std::uint64_t total = 0;
        for (const MediumLayout::FileGroup* group : groups) {
            for (const std::wstring_view name : group->files) {
                total +=
                    base::FileSize(source_ + std::wstring(group->sourceDir) + std::wstring(name));
            }
        }
        return total;
    }

    // One file of a group under its status line; true when it was copied.
    // The copy runs on a worker thread while the window keeps answering; a
    // long one shows its percentage on its line, and the taskbar button the
    // bytes copied of the whole stretch. A failed copy's line gets the
    // system's text for the worker's error code as its cause.
    template <typename Copy>
    bool CopyAnnounced(const std::wstring& name, const Copy& copy,
                       const MediumLayout::FileGroup& group) {
        const int line = log_.Add(L"Копирование файла " + name + L"....");
        host_.ProcessMessages();
        CopyProgressLine status(log_, line, GetTickCount64());
        std::atomic<std::uint64_t> copied{0};
        std::atomic<std::uint64_t> size{0};
        SysResult done;
        const auto work = [&] {
            done = copy(source_ + std::wstring(group.sourceDir) + name,
                        target_ + std::wstring(group.targetDir) + name,
                        [&](ULONGLONG bytes, ULONGLONG of) {
                            size = of;
                            copied = bytes;
                        });
        };
        const auto tick = [&] {
            status.Update(copied, size, GetTickCount64());
            host_.ShowProgress(copiedBefore_ + copied, copyTotal_);
        };
        try {
            host_.WaitFor(work, tick);
        } catch (...) {
            status.Finish(L""); // the line as it was announced
            throw;
        }
        copiedBefore_ += size;
        host_.ShowProgress(copiedBefore_, copyTotal_);
        status.Finish(done ? kDone : kFailed);
        if (!done) {
            log_.SetCause(line, SysErrorMessage(done.code()));
        }
        return done.ok();
    }

    // Blocking work of the steps after the stretch: on a worker thread while
    // the window answers, the steps keeping their order.
    base::TRunBlocking Blocking() {
        return [this](const std::function<void()>& work) { host_.WaitFor(work, [] {}); };
    }

    void Complete(int line, const wchar_t* word) { log_.SetLine(line, log_.Line(line) + word); }

    // A font that cannot be installed does not stop the installation, but
    // the log says so, so that the failure is not taken for success.
    // A copy that failed names its system error as the line's cause.
    void InstallFontsQuietly() {
        try {
            InstallFonts(log_, source_, Blocking());
        } catch (const SysFailure& failure) {
            const int line = LogFontFailure();
            log_.SetCause(line, SysErrorMessage(failure.code()));
        } catch (...) {
            LogFontFailure();
        }
    }

    // The font step's failed line, with the error's text; its index.
    int LogFontFailure() {
        return log_.Add(L"Установка шрифтов...." + std::wstring(kFailed) + L" " +
                        ErrorText(std::current_exception()));
    }

    // Asks the connection question; a run nobody answers takes the step
    // only with /DRIVER and says in the log when it skips it.
    bool DriverStepWanted() {
        if (env_.unattended) {
            if (!env_.unattended->runDriver) {
                log_.Add(L"Установка драйверов устройства пропущена (нет параметра /DRIVER)");
            }
            return env_.unattended->runDriver;
        }
        return host_.DriverInstallChecked() &&
               env_.dialogs.MessageDlg(L"Подключите интерфейсный блок и нажмите \"Yes\"?",
                                       TMsgDlgType::mtConfirmation,
                                       TMsgDlgButtons::mbYesNo) == TModalResult::mrYes;
    }

    void InstallDriver() {
        if (!DriverStepWanted()) {
            return;
        }
        const std::wstring driverDir(MediumLayout::DriverDir);
        if (DirectoryExists(source_ + driverDir)) {
            // The shell would stop at a read-only file of an earlier
            // installation, and its copies keep a medium's read-only
            // attribute.
            std::vector<TFailedCopy> failures;
            host_.WaitFor(
                [&] {
                    ClearReadOnlyTree(target_ + driverDir);
                    failures = CopyDriverDirectory();
                    ClearReadOnlyTree(target_ + driverDir);
                },
                [] {});
            for (const TFailedCopy& failure : failures) {
                const int line = log_.Add(L"Копирование файла " + failure.name + L"...." + kFailed);
                log_.SetCause(line, SysErrorMessage(failure.error));
            }
        }
        log_.Add(L"Началась установка драйверов устройства...");
        log_.Repaint();
        DWORD startError = 0;
        host_.WaitFor(
            [&] {
                RunProgram(target_ + std::wstring(MediumLayout::DriverProgram), SW_HIDE, true,
                           &startError);
            },
            [] {});
        // A driver installer that never started is not reported as done.
        log_.Add(startError == 0 ? std::wstring(L"Установка драйверов устройства завершена")
                                 : kDriverNotDone + SysErrorMessage(startError));
    }

    // The medium's driver directory over the target's, whose files it
    // replaces, on a first installation and a reinstall alike. The shell
    // copies a directory into an existing destination as a subdirectory,
    // so it is given the target itself: the directory lands on (or merges
    // into) target\FTDIDriverInstall. A run nobody answers copies the tree
    // itself: the shell's copy has windows of its own (progress, errors).
    // A file of the driver directory that could not be copied.
    struct TFailedCopy {
        std::wstring name; // relative to the medium
        DWORD error;
    };

    // Runs on a worker thread: the failures are logged by the caller.
    std::vector<TFailedCopy> CopyDriverDirectory() const {
        const std::wstring driverDir(MediumLayout::DriverDir);
        std::vector<TFailedCopy> failures;
        if (!env_.unattended) {
            ShellCopyDir(source_ + driverDir, target_);
            return failures;
        }
        // How the names of the tree's files start below the medium (and the
        // target).
        const std::wstring driverPrefix = driverDir + L"\\";
        const std::wstring from = source_ + driverPrefix;
        const std::wstring to = target_ + driverPrefix;
        ForceDirectories(to);
        for (const std::wstring& relative : TreeFiles(source_ + driverDir)) {
            const std::wstring destination = to + relative;
            ForceDirectories(destination.substr(0, destination.rfind(L'\\')));
            if (!CopyFileW((from + relative).c_str(), destination.c_str(), FALSE)) {
                failures.push_back({driverPrefix + relative, GetLastError()});
            }
        }
        return failures;
    }

    void CreateDesktopLink() {
        const std::wstring product = GetResString(env_.resources, IDS_PRODUCT_NAME);
        const std::wstring description =
            GetResString(env_.resources, IDS_PRODUCT_DESCRIPTION) + L" \"" + product + L"\"";
        std::wstring linkPath;
        CreateShortcut(target_ + GetResString(env_.resources, IDS_MAIN_EXECUTABLE), 0, L"", L"",
                       L"", description, product, linkPath);
    }

    void Finish() {
        if (env_.unattended) {
            ReportFontSize();
            return;
        }
        if (ScreenHasSmallFonts(env_.system)) {
            host_.ShowPage(TWizardPage::tsChangeFontSize);
            return;
        }
        if (env_.dialogs.MessageDlg(L"Установка завершена. Выйти из программы установки?",
                                    TMsgDlgType::mtConfirmation,
                                    TMsgDlgButtons::mbYesNo) == TModalResult::mrYes) {
            host_.Close();
        }
    }

    // A run nobody answers changes no system setting and restarts nothing.
    void ReportFontSize() {
        log_.Add(ScreenHasSmallFonts(env_.system)
                     ? L"Размер шрифта экрана: мелкий. Для работы комплекса \"Вестар\" нужен "
                       L"крупный (120 точек на дюйм); он не изменён."
                     : L"Размер шрифта экрана: крупный.");
    }

    const InstallEnvironment& env_;
    IInstallHost& host_;
    IProgressLog& log_;
    std::wstring target_;
    std::wstring fullTarget_;
    std::wstring source_;
    std::uint64_t copyTotal_ = 0;    // the bytes of every file the stretch copies
    std::uint64_t copiedBefore_ = 0; // of them, those of the files copied so far
};

} // namespace

TRunEnd RunInstall(const InstallEnvironment& env) {
    return InstallRun(env).Run();
}

} // namespace install
