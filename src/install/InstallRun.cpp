#include "install/InstallRun.h"

#include <atomic>
#include <initializer_list>

#include "install/CreateNSI.h"
#include "install/DatabaseUpdate.h"
#include "install/FilePrimitives.h"
#include "install/FileReplace.h"
#include "install/InstallHost.h"
#include "install/MediumLayout.h"
#include "install/Shortcut.h"
#include "install/portable/CopyProgressLine.h"
#include "shared/SysError.h"
#include "shared/VS_Common_Proc.h"
#include "system/DisplayFontSize.h"
#include "system/Fonts.h"
#include "ui/UserDialogs.h"

namespace {

const wchar_t* const kDone = L"Завершено";
const wchar_t* const kFailed = L"ОШИБКА!!!";

std::wstring Trimmed(const std::wstring& text) {
    const auto first = text.find_first_not_of(L" \t\r\n");
    if (first == std::wstring::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(L" \t\r\n");
    return text.substr(first, last - first + 1);
}

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

    void Run() {
        target_ = Trimmed(host_.PathText());
        host_.ClearAndShowLog();
        host_.ShowPage(TWizardPage::tsProgressInstall);
        host_.ProcessMessages();
        source_ = env_.sourcePath;
        host_.SetCopyFrom(source_);

        if (!CreateTargetDirectory()) {
            return;
        }
        WriteInitialOptions(target_);
        if (!CopySuiteFiles()) {
            return;
        }
        InstallFontsQuietly();
        InstallDriver();
        UpdateDatabaseFromBackup(target_, source_);
        CreateDesktopLink();
        host_.EnableExit();
        Finish();
    }

  private:
    // Steps 7 to 17: everything inside the guarded stretch. False when the
    // run stopped there.
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
        KeepPreviousDatabase();
        copyTotal_ = BytesToCopy(
            {&MediumLayout::Group1Database, &MediumLayout::FirebirdGroupFor(host_.WindowsIndex()),
             &MediumLayout::Group3CharacterSets, &MediumLayout::Group4StandardUdf,
             &MediumLayout::Group5InHouseUdf});
        if (!CopyGroup(MediumLayout::Group1Database) ||
            !CopyGroup(MediumLayout::FirebirdGroupFor(host_.WindowsIndex()))) {
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
            ReportFailure(failed);
            return false;
        }
        log_.Add(created);
        host_.ProcessMessages();
        return true;
    }

    void ReportFailure(const std::wstring& text) {
        env_.dialogs.MessageDlg(text, TMsgDlgType::mtError, TMsgDlgButtons::mbOK);
        log_.Add(text);
    }

    static void CreateDirectoryIfMissing(const std::wstring& path) {
        if (!DirectoryExists(path)) {
            CreateDirectoryW(path.c_str(), nullptr);
        }
    }

    // A reinstall keeps the clinic's database: the old file is renamed to
    // QZ7.FDB.<yyyymmdd-hhmmss>.bak before the medium's copy is installed
    // (with "-2", "-3", ... before ".bak" when that name is taken).
    void KeepPreviousDatabase() {
        const std::wstring directory = target_ + std::wstring(MediumLayout::DatabaseDir);
        const std::wstring database = directory + std::wstring(MediumLayout::DatabaseFiles[0]);
        if (!FileExists(database)) {
            return;
        }
        const std::wstring stem = std::wstring(MediumLayout::DatabaseFiles[0]) + L"." + NowStamp();
        for (int attempt = 1;; ++attempt) {
            const std::wstring keptName =
                stem + (attempt == 1 ? L"" : L"-" + std::to_wstring(attempt)) + L".bak";
            if (MoveFileExW(database.c_str(), (directory + keptName).c_str(),
                            MOVEFILE_WRITE_THROUGH)) {
                log_.Add(L"Прежняя база данных сохранена: " + keptName);
                return;
            }
            const DWORD error = GetLastError();
            if ((error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) || attempt == 99) {
                RaiseCannotCreateFile(database, error);
            }
        }
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
            const bool copied = CopyAnnounced(
                std::wstring(name), source_ + std::wstring(group.sourceDir) + std::wstring(name),
                target_ + std::wstring(group.targetDir) + std::wstring(name));
            if (!copied && group.stopOnError) {
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
                WIN32_FILE_ATTRIBUTE_DATA data{};
                const std::wstring path =
                    source_ + std::wstring(group->sourceDir) + std::wstring(name);
                if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
                    total += (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
                }
            }
        }
        return total;
    }

    // Copies one file on a worker thread while the window keeps answering;
    // a long copy shows its percentage on its status line and the run's
    // progress on the taskbar button.
    bool CopyAnnounced(const std::wstring& name, const std::wstring& from, const std::wstring& to) {
        const int line = log_.Add(L"Копирование файла " + name + L"....");
        host_.ProcessMessages();
        CopyProgressLine status(log_, line, GetTickCount64());
        std::atomic<std::uint64_t> copied{0};
        std::atomic<std::uint64_t> size{0};
        bool done = false;
        const auto copy = [&] {
            done = CopyFileKeepDate(from, to, [&](ULONGLONG bytes, ULONGLONG of) {
                size = of;
                copied = bytes;
            });
        };
        const auto tick = [&] {
            status.Update(copied, size, GetTickCount64());
            host_.ShowProgress(copiedBefore_ + copied, copyTotal_);
        };
        try {
            host_.WaitFor(copy, tick);
        } catch (...) {
            status.Finish(L""); // the line as it was announced
            throw;
        }
        copiedBefore_ += size;
        host_.ShowProgress(copiedBefore_, copyTotal_);
        status.Finish(done ? kDone : kFailed);
        return done;
    }

    void Complete(int line, const wchar_t* word) { log_.SetLine(line, log_.Line(line) + word); }

    void InstallFontsQuietly() {
        try {
            InstallFonts(log_, source_);
        } catch (...) {
            // A font that cannot be installed does not stop the installation.
        }
    }

    void InstallDriver() {
        if (!host_.DriverInstallChecked()) {
            return;
        }
        if (env_.dialogs.MessageDlg(L"Подключите интерфейсный блок и нажмите \"Yes\"?",
                                    TMsgDlgType::mtConfirmation,
                                    TMsgDlgButtons::mbYesNo) != TModalResult::mrYes) {
            return;
        }
        const std::wstring driverDir(MediumLayout::DriverDir);
        if (DirectoryExists(source_ + driverDir)) {
            ShellCopyDir(source_ + driverDir, target_ + driverDir);
        }
        log_.Add(L"Началась установка драйверов устройства...");
        log_.Repaint();
        RunProgram(target_ + std::wstring(MediumLayout::DriverProgram), SW_HIDE, true);
        log_.Add(L"Установка драйверов устройства завершена");
    }

    void CreateDesktopLink() {
        const std::wstring product = GetResString(env_.resources, 1);
        const std::wstring description = GetResString(env_.resources, 2) + L" \"" + product + L"\"";
        std::wstring linkPath;
        CreateShortcut(target_ + GetResString(env_.resources, 4), 0, L"", L"", L"", description,
                       product, linkPath);
    }

    void Finish() {
        if (IsSmallFonts(env_.system)) {
            host_.ShowPage(TWizardPage::tsChangeFontSize);
            return;
        }
        if (env_.dialogs.MessageDlg(L"Установка завершена. Выйти из программы установки?",
                                    TMsgDlgType::mtConfirmation,
                                    TMsgDlgButtons::mbYesNo) == TModalResult::mrYes) {
            host_.Close();
        }
    }

    const InstallEnvironment& env_;
    IInstallHost& host_;
    IProgressLog& log_;
    std::wstring target_;
    std::wstring source_;
    std::uint64_t copyTotal_ = 0;    // the bytes of every file the stretch copies
    std::uint64_t copiedBefore_ = 0; // of them, those of the files copied so far
};

} // namespace

void RunInstall(const InstallEnvironment& env) {
    InstallRun(env).Run();
}
