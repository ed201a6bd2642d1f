// Install.exe started as its own process where a run must not begin or must
// not change anything: another installer running, a file of the
// installation held open by another process, a drive too small; and where
// it must run through: a relative /DIR, a reinstall whose medium brings a
// newer driver installer.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>

#include "WizardDriver.h"
#include "app/SingleRun.h"
#include "base/Handles.h"
#include "common/ProgramRuns.h"
#include "common/TestFiles.h"

using base::UniqueHandle;
using programruns::CopyTree;
using programruns::DemoMedium;
using programruns::Quoted;
using programruns::SnapshotTree;
using programruns::WaitWatchingWindows;
using programruns::WithoutLog;
using Tree = programruns::FileTree;

using namespace std::chrono_literals;
using testfiles::Exists;
using testfiles::ReadBytes;
using testfiles::ScratchDir;
using testfiles::Utf8;
using testfiles::WriteFileCreatingDirs;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

namespace {

struct Outcome {
    DWORD exitCode = 0xFFFFFFFF;
    std::string standardError;
    std::set<std::wstring> windowTitles; // every visible top-level window seen
};

// Starts `medium`\Install.exe with `arguments` in `workingDir`, its standard
// error going to a file, and watches its windows until it ends.
Outcome RunInstaller(const std::wstring& medium, const std::wstring& arguments,
                     const std::wstring& workingDir) {
    static int runs = 0;
    const std::wstring errorFile = workingDir + L"stderr-" + std::to_wstring(++runs) + L".txt";
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    UniqueHandle error(CreateFileW(errorFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_TRUE(error);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdError = error.get();
    startup.hStdOutput = error.get();
    const std::wstring program = medium + L"Install.exe";
    std::wstring commandLine = Quoted(program) + L" " + arguments;
    PROCESS_INFORMATION info{};
    Outcome outcome;
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        workingDir.c_str(), &startup, &info)) {
        ADD_FAILURE() << "Install.exe did not start";
        return outcome;
    }
    error.reset();
    CloseHandle(info.hThread);
    const UniqueHandle process(info.hProcess);
    if (!WaitWatchingWindows(process.get(), info.dwProcessId, outcome.windowTitles)) {
        ADD_FAILURE() << "Install.exe did not end";
    }
    GetExitCodeProcess(process.get(), &outcome.exitCode);
    outcome.standardError = ReadBytes(errorFile);
    DeleteFileW(errorFile.c_str());
    return outcome;
}

// The last block of an Install.log (each run appends one).
std::string LastBlock(const std::wstring& log) {
    const std::string text = ReadBytes(log);
    const std::size_t start = text.rfind(Utf8(L"==== Установка комплекса"));
    return start == std::string::npos ? text : text.substr(start);
}

class PreflightEndToEnd : public ::testing::Test {
  protected:
    std::wstring Work() const { return work_.path(); }
    // A copy of the demo medium that a test may change.
    std::wstring CopyOfMedium() const {
        const std::wstring medium = work_.path() + L"medium";
        CopyTree(DemoMedium().substr(0, DemoMedium().size() - 1), medium);
        return medium + L"\\";
    }

    ScratchDir work_{L"preflight Тест"};
};

// The wizard walked as a person would from `medium` to `target`, "Yes" to
// the driver question.
void InstallInteractively(const std::wstring& medium, const std::wstring& target) {
    wizard::WizardDriver driver;
    driver.Launch(medium + L"Install.exe");
    driver.WaitForMainWindow();
    wizard::WizardDriver::ClickWindow(driver.WalkToComponents(target));
    driver.Answer(driver.WaitForDialog(L"Confirm", 120s), L"Yes");
    // The test prefix's screen has small fonts: the run ends on the font-size page.
    driver.WaitForVisibleControl(L"Изменить настройки", 180s);
    driver.Click(L"Выход");
    EXPECT_EQ(driver.WaitForExit(30s), std::optional<DWORD>(0));
}

TEST_F(PreflightEndToEnd, ASecondInstallerChangesNothingAndEndsWith1618) {
    const std::wstring target = Work() + L"second";
    const std::wstring log = Work() + L"second.log";
    {
        // The run in progress, as another Install.exe holds it.
        const UniqueHandle running(CreateMutexW(nullptr, TRUE, app::kSingleRunMutexName));
        ASSERT_TRUE(running);
        for (const wchar_t* mode : {L"/VERYSILENT", L"/SILENT"}) {
            SCOPED_TRACE(Utf8(mode));
            const Outcome second = RunInstaller(
                DemoMedium(),
                std::wstring(mode) + L" /DIR=" + Quoted(target) + L" /LOG=" + Quoted(log), Work());
            EXPECT_EQ(second.exitCode, 1618u);
            EXPECT_THAT(second.standardError, HasSubstr(Utf8(app::kAnotherRunText)));
            EXPECT_THAT(second.windowTitles, IsEmpty());
            EXPECT_FALSE(Exists(target));
            EXPECT_FALSE(Exists(log));
        }
        // The switches that install nothing are not held back.
        EXPECT_EQ(RunInstaller(DemoMedium(), L"/?", Work()).exitCode, 0u);
        EXPECT_EQ(RunInstaller(DemoMedium(), L"/CHECK", Work()).exitCode, 0u);

        // With questions: our message box says so, and the program ends.
        wizard::WizardDriver driver;
        driver.Launch(DemoMedium() + L"Install.exe");
        const wizard::DialogInfo box = driver.WaitForDialog(L"Установка комплекса \"Вестар\"");
        EXPECT_THAT(box.text, HasSubstr(app::kAnotherRunText));
        driver.Answer(box, L"OK");
        EXPECT_EQ(driver.WaitForExit(30s), std::optional<DWORD>(1618));
    }
    // Once the other run has ended, the same command installs.
    const Outcome after = RunInstaller(DemoMedium(), L"/VERYSILENT /DIR=" + Quoted(target), Work());
    EXPECT_EQ(after.exitCode, 0u) << after.standardError;
}

TEST_F(PreflightEndToEnd, AFileHeldOpenMakesAReinstallEndWith4AndChangeNothing) {
    const std::wstring target = Work() + L"held\\";
    ASSERT_EQ(
        RunInstaller(DemoMedium(), L"/VERYSILENT /DRIVER /DIR=" + Quoted(target), Work()).exitCode,
        0u);
    ASSERT_TRUE(WriteFileCreatingDirs(target + L"DTAfb\\QZ7.FDB", "the clinic's patients\r\n"));
    const Tree before = WithoutLog(SnapshotTree(target));
    // As the suite's running server holds them: read, shared for reading only.
    for (const wchar_t* held :
         {L"fbclient.Dll", L"DTAfb\\QZ7.FDB", L"FTDIDriverInstall\\FTDIDriverInstall.exe"}) {
        SCOPED_TRACE(Utf8(held));
        const UniqueHandle holder(CreateFileW((target + held).c_str(), GENERIC_READ,
                                              FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(holder);
        const Outcome refused =
            RunInstaller(DemoMedium(), L"/VERYSILENT /DRIVER /DIR=" + Quoted(target), Work());
        EXPECT_EQ(refused.exitCode, 4u);
        EXPECT_EQ(WithoutLog(SnapshotTree(target)), before);
        const std::string block = LastBlock(target + L"Install.log");
        EXPECT_THAT(block, HasSubstr(Utf8(target + held)));
        EXPECT_THAT(block, HasSubstr(Utf8(L"файлы установленного комплекса заняты")));
        EXPECT_THAT(block, HasSubstr(Utf8(L"Код завершения: 4\r\n")));
        EXPECT_THAT(block, Not(HasSubstr(Utf8(L"Копирование файла"))));
    }
    const Outcome free = RunInstaller(DemoMedium(), L"/VERYSILENT /DIR=" + Quoted(target), Work());
    EXPECT_EQ(free.exitCode, 0u) << free.standardError;
}

// Through the wizard: the box names the held file with "Повтор" and
// "Отмена"; "Отмена" changes nothing (exit 4 after "Выход"), "Повтор" once
// the file is free goes on with the run.
TEST_F(PreflightEndToEnd, TheWizardAsksAboutAHeldFileAndRetryGoesOn) {
    const std::wstring target = Work() + L"wizard held\\";
    ASSERT_EQ(RunInstaller(DemoMedium(), L"/VERYSILENT /DIR=" + Quoted(target), Work()).exitCode,
              0u);
    const Tree before = WithoutLog(SnapshotTree(target));
    UniqueHandle holder(CreateFileW((target + L"fbclient.Dll").c_str(), GENERIC_READ,
                                    FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
    ASSERT_TRUE(holder);
    for (const wchar_t* answer : {L"Отмена", L"Повтор"}) {
        SCOPED_TRACE(Utf8(answer));
        wizard::WizardDriver driver;
        driver.Launch(DemoMedium() + L"Install.exe");
        driver.WaitForMainWindow();
        wizard::WizardDriver::ClickWindow(driver.WalkToComponents(target));
        const wizard::DialogInfo box = driver.WaitForDialog(L"Warning", 60s);
        EXPECT_THAT(box.text, HasSubstr(target + L"fbclient.Dll"));
        if (std::wstring(answer) == L"Отмена") {
            driver.Answer(box, answer);
            driver.Click(L"Выход");
            EXPECT_EQ(driver.WaitForExit(30s), std::optional<DWORD>(4));
            EXPECT_EQ(WithoutLog(SnapshotTree(target)), before);
            continue;
        }
        holder.reset();
        driver.Answer(box, answer);
        driver.Answer(driver.WaitForDialog(L"Confirm", 120s), L"No"); // the driver question
        driver.WaitForVisibleControl(L"Изменить настройки", 180s);
        driver.Click(L"Выход");
        EXPECT_EQ(driver.WaitForExit(30s), std::optional<DWORD>(0));
        EXPECT_THAT(LastBlock(target + L"Install.log"),
                    HasSubstr(Utf8(L"Копирование файла fbclient.Dll....Завершено")));
    }
}

// On a real small drive (small-drive.sh gives one to Wine as a drive letter,
// where the machine allows it).
TEST_F(PreflightEndToEnd, ADriveTooSmallMakesAReinstallEndWith4OnARealSmallDrive) {
    wchar_t letter[8] = {};
    if (GetEnvironmentVariableW(L"VESTAR_SMALL_DRIVE", letter, 8) == 0) {
        GTEST_SKIP() << "no small drive here";
    }
    const std::wstring target = std::wstring(letter) + L"Holter\\";
    const Outcome first = RunInstaller(DemoMedium(), L"/VERYSILENT /DIR=" + Quoted(target), Work());
    ASSERT_EQ(first.exitCode, 0u) << first.standardError;
    const Tree before = WithoutLog(SnapshotTree(target));
    // A newer medium whose database does not fit beside the kept one.
    const std::wstring medium = CopyOfMedium();
    ASSERT_TRUE(testfiles::WriteBytes(medium + L"DTAfb\\QZ7.FDB", std::string(12 << 20, 'N')));
    const Outcome refused = RunInstaller(medium, L"/VERYSILENT /DIR=" + Quoted(target), Work());
    EXPECT_EQ(refused.exitCode, 4u);
    EXPECT_EQ(WithoutLog(SnapshotTree(target)), before);
    const std::string block = LastBlock(target + L"Install.log");
    EXPECT_THAT(block, HasSubstr(Utf8(L"Недостаточно места на диске " + std::wstring(letter) +
                                      L": нужно ")));
    EXPECT_THAT(block, HasSubstr(Utf8(L"Код завершения: 4\r\n")));
}

TEST_F(PreflightEndToEnd, ARelativeDirIsTakenBelowTheInstallerAndRunsThrough) {
    const std::wstring medium = CopyOfMedium();
    // Started from elsewhere: the path is the installer's, not the starter's.
    const Outcome run = RunInstaller(medium, L"/VERYSILENT /DIR=Holter", Work());
    EXPECT_EQ(run.exitCode, 0u) << run.standardError;
    EXPECT_TRUE(Exists(medium + L"Holter\\DTAfb\\QZ7.FDB"));
    EXPECT_FALSE(Exists(Work() + L"Holter"));
    const std::string block = LastBlock(medium + L"Holter\\Install.log");
    EXPECT_THAT(block, HasSubstr(Utf8(L"Каталог установки: " + medium + L"Holter\\")));
    EXPECT_THAT(block, Not(HasSubstr(Utf8(L"ОШИБКА"))));
    EXPECT_THAT(block, HasSubstr(Utf8(L"Код завершения: 0\r\n")));
}

// An earlier installation whose driver directory holds an older driver
// installer (one that leaves no marker) and an older file; the newer medium
// brings the stand-in, which leaves "driver-installed.txt" beside itself.
TEST_F(PreflightEndToEnd, AReinstallRunsTheNewerMediumsDriverInstallerWithNoNestedDirectory) {
    const std::wstring medium = CopyOfMedium();
    ASSERT_TRUE(WriteFileCreatingDirs(medium + L"FTDIDriverInstall\\ftdibus.inf", "newer\r\n"));
    const struct {
        const char* name;
        bool interactive;
    } rows[] = {{"/SILENT /DRIVER", false}, {"the wizard", true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::wstring target = Work() + (row.interactive ? L"wizard\\" : L"silent\\");
        ASSERT_EQ(RunInstaller(DemoMedium(), L"/VERYSILENT /DRIVER /DIR=" + Quoted(target), Work())
                      .exitCode,
                  0u);
        const std::wstring driverDir = target + L"FTDIDriverInstall\\";
        ASSERT_TRUE(Exists(driverDir + L"amd64\\ftdibus.inf"))
            << "the run without questions makes the tree's subdirectories";
        ASSERT_TRUE(DeleteFileW((driverDir + L"driver-installed.txt").c_str()));
        // An installer that ends at once and leaves nothing behind.
        ASSERT_TRUE(CopyFileW(L"C:\\windows\\system32\\hostname.exe",
                              (driverDir + L"FTDIDriverInstall.exe").c_str(), FALSE));
        ASSERT_TRUE(WriteFileCreatingDirs(driverDir + L"ftdibus.inf", "older\r\n"));

        if (row.interactive) {
            InstallInteractively(medium, target);
        } else {
            const Outcome silent =
                RunInstaller(medium, L"/SILENT /DRIVER /DIR=" + Quoted(target), Work());
            EXPECT_EQ(silent.exitCode, 0u) << silent.standardError;
            // Only the progress page and the application window, which carries
            // the taskbar button: no question, no error box.
            EXPECT_EQ(silent.windowTitles,
                      (std::set<std::wstring>{L"Установка комплекса",
                                              L"Установка комплекса \"Вестар\""}));
        }
        EXPECT_THAT(ReadBytes(driverDir + L"driver-installed.txt"),
                    HasSubstr("program=" + Utf8(driverDir + L"FTDIDriverInstall.exe")));
        EXPECT_EQ(ReadBytes(driverDir + L"ftdibus.inf"), "newer\r\n");
        EXPECT_FALSE(Exists(driverDir + L"FTDIDriverInstall"));
    }
}

// Wine's shell copy of a directory to a path beyond 260 characters copies
// nothing (an earlier Wine session even ended the process there), and under
// Wine it shows no window of its own either way: so a run without questions
// that placed the driver installer there did not use it. (Beyond 260
// characters the backup's script cannot be started: the run then stops.)
TEST_F(PreflightEndToEnd, AnUnattendedDriverStepCopiesWithoutTheShell) {
    std::wstring target = Work();
    for (int level = 0; level < 4; ++level) {
        target += std::wstring(60, L'д') + L"\\";
        CreateDirectoryW(target.c_str(), nullptr);
    }
    ASSERT_GT(target.size(), 260u);
    const Outcome run =
        RunInstaller(DemoMedium(), L"/VERYSILENT /DRIVER /DIR=" + Quoted(target), Work());
    EXPECT_EQ(run.exitCode, 2u) << run.standardError;
    EXPECT_TRUE(Exists(target + L"FTDIDriverInstall\\FTDIDriverInstall.exe"));
    const std::string block = LastBlock(target + L"Install.log");
    EXPECT_THAT(block, HasSubstr(Utf8(L"Началась установка драйверов устройства...")));
    EXPECT_THAT(block, HasSubstr(Utf8(L"Код завершения: 2\r\n")));
}

} // namespace
