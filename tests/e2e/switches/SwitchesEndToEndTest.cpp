// Install.exe started as its own process with /VERYSILENT, /SILENT, /DIR,
// /LOG, /DRIVER and /CHECK: exit codes, the log files, the standard error,
// the installed tree and the windows it shows (or does not).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>

#include "WizardDriver.h"
#include "common/PollUntil.h"
#include "common/ProgramRuns.h"
#include "common/TestFiles.h"
#include "base/Handles.h"

using base::UniqueHandle;
using programruns::CopyTree;
using programruns::DemoMedium;
using programruns::Quoted;
using programruns::SnapshotTree;

using namespace std::chrono_literals;
using testfiles::Exists;
using testfiles::ReadBytes;
using testfiles::ScratchDir;
using testfiles::Utf8;
using testfiles::WriteFileCreatingDirs;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

namespace {

const std::string kBom = "\xEF\xBB\xBF";

// Bytes with every occurrence of `from` replaced by a placeholder.
std::string WithoutPath(std::string bytes, const std::string& from) {
    for (std::size_t at = bytes.find(from); at != std::string::npos; at = bytes.find(from, at)) {
        bytes.replace(at, from.size(), "<target>");
    }
    return bytes;
}

using testwindows::StoredText;

// What one start of Install.exe left behind.
struct Outcome {
    DWORD exitCode = 0xFFFFFFFF;
    std::string standardError;
    std::set<std::wstring> windowTitles; // every visible top-level window seen
};

BOOL CALLBACK CollectTitles(HWND window, LPARAM param) {
    auto& [processId, titles] =
        *reinterpret_cast<std::pair<DWORD, std::set<std::wstring>*>*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == processId && IsWindowVisible(window)) {
        titles->insert(StoredText(window));
    }
    return TRUE;
}

// Starts `medium`\Install.exe with `arguments`, its standard output and
// error going to a file, and watches its windows until it ends. `onTick`
// runs while it is running (with its process id). It starts in `startIn`,
// else in the medium's directory.
Outcome RunInstaller(const std::wstring& medium, const std::wstring& arguments,
                     const std::function<void(DWORD)>& onTick = {},
                     const std::wstring& startIn = {}) {
    static int runs = 0;
    const std::wstring errorFile = medium + L"stderr-" + std::to_wstring(GetCurrentProcessId()) +
                                   L"-" + std::to_wstring(++runs) + L".txt";
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
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    PROCESS_INFORMATION info{};
    Outcome outcome;
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        (startIn.empty() ? medium : startIn).c_str(), &startup, &info)) {
        ADD_FAILURE() << "Install.exe did not start";
        return outcome;
    }
    error.reset();
    CloseHandle(info.hThread);
    const UniqueHandle process(info.hProcess);
    // A guard against a hung installer, not a measurement.
    for (int tick = 0; WaitForSingleObject(process.get(), 20) == WAIT_TIMEOUT; ++tick) {
        std::pair<DWORD, std::set<std::wstring>*> search{info.dwProcessId, &outcome.windowTitles};
        EnumWindows(CollectTitles, reinterpret_cast<LPARAM>(&search));
        if (onTick) {
            onTick(info.dwProcessId);
        }
        if (tick > 15000) {
            TerminateProcess(process.get(), 99);
            ADD_FAILURE() << "Install.exe did not end";
        }
    }
    GetExitCodeProcess(process.get(), &outcome.exitCode);
    outcome.standardError = ReadBytes(errorFile);
    DeleteFileW(errorFile.c_str());
    return outcome;
}

// A copy of the demo medium that a test may break.
class MediumCopy {
  public:
    MediumCopy() { CopyTree(DemoMedium().substr(0, DemoMedium().size() - 1), root()); }
    std::wstring root() const { return scratch_.path() + L"medium"; }
    std::wstring path() const { return root() + L"\\"; }
    std::wstring operator/(const std::wstring& relative) const { return path() + relative; }

  private:
    ScratchDir scratch_{L"switches medium"};
};

class SwitchesEndToEnd : public ::testing::Test {
  protected:
    ScratchDir work_{L"switches Тест"};
};

// The wizard walked as a person would, to `target`, "Yes" to every question.
void InstallInteractively(const std::wstring& target) {
    wizard::WizardDriver driver;
    driver.Launch(DemoMedium() + L"Install.exe");
    driver.WaitForMainWindow();
    wizard::WizardDriver::ClickWindow(driver.WalkToComponents(target));
    driver.Answer(driver.WaitForDialog(L"Confirm", 120s), L"Yes"); // the driver question
    // The test prefix's screen has small fonts: the run ends on the font-size page.
    driver.WaitForVisibleControl(L"Изменить настройки", 180s);
    driver.Click(L"Выход");
    EXPECT_EQ(driver.WaitForExit(30s), std::optional<DWORD>(0));
}

TEST_F(SwitchesEndToEnd, VerySilentInstallsWhatTheWizardInstallsWithoutAWindowThenAgain) {
    const std::wstring wizardTarget = work_.path() + L"wizard\\";
    InstallInteractively(wizardTarget);
    const std::string wizardLog = ReadBytes(wizardTarget + L"Install.log");
    EXPECT_THAT(wizardLog, StartsWith(kBom + Utf8(L"==== Установка комплекса")));
    EXPECT_THAT(wizardLog, HasSubstr(Utf8(L"  Копирование файла QZ7.FDB....Завершено\r\n")));
    EXPECT_THAT(wizardLog, HasSubstr(Utf8(L"Параметры: (нет)\r\n")));
    EXPECT_THAT(wizardLog, HasSubstr(Utf8(L"Код завершения: 0\r\n")));

    const std::wstring target = work_.path() + L"тихая установка Holter";
    const std::wstring log = work_.path() + L"журнал установки.log";
    const Outcome silent = RunInstaller(DemoMedium(), L"/verysilent /DRIVER /Dir=" +
                                                          Quoted(target) + L" /LOG=" + Quoted(log));
    EXPECT_EQ(silent.exitCode, 0u) << silent.standardError;
    EXPECT_TRUE(silent.windowTitles.empty()) << Utf8(*silent.windowTitles.begin());

    // The same tree and bytes, apart from the log, the target's own path
    // that the driver stand-in records, and the time in lastnum.dta.
    auto wizardTree = SnapshotTree(wizardTarget);
    auto silentTree = SnapshotTree(target + L"\\");
    for (auto* tree : {&wizardTree, &silentTree}) {
        ASSERT_EQ(tree->erase(L"Install.log"), 1u);
        ASSERT_EQ(tree->at(L"Settings\\lastnum.dta").size(), 14u);
        tree->erase(L"Settings\\lastnum.dta");
    }
    ASSERT_EQ(wizardTree.size(), silentTree.size());
    for (auto wizardFile = wizardTree.begin(), silentFile = silentTree.begin();
         wizardFile != wizardTree.end(); ++wizardFile, ++silentFile) {
        ASSERT_EQ(wizardFile->first, silentFile->first);
        EXPECT_EQ(WithoutPath(wizardFile->second, Utf8(wizardTarget)),
                  WithoutPath(silentFile->second, Utf8(target + L"\\")))
            << Utf8(wizardFile->first);
    }

    // Every line is in the /LOG file, which holds the same block as Install.log.
    const std::string logged = ReadBytes(log);
    EXPECT_EQ(logged, ReadBytes(target + L"\\Install.log"));
    for (const wchar_t* line :
         {L"Параметры: /VERYSILENT /DIR=\"", L"  Создание настроечных файлов....Завершено\r\n",
          L"  Копирование файла Maple.Dll....Завершено\r\n",
          L"  Установка драйверов устройства завершена\r\n", L"  Размер шрифта экрана: ",
          L"Код завершения: 0\r\n"}) {
        EXPECT_THAT(logged, HasSubstr(Utf8(line)));
    }

    // Again over the same target: the clinic's database is kept as a
    // reinstall keeps it, and Install.log keeps the first run's block.
    WriteFileCreatingDirs(target + L"\\DTAfb\\QZ7.FDB", "the clinic's patients");
    const Outcome again = RunInstaller(DemoMedium(), L"/VERYSILENT /DIR=" + Quoted(target));
    EXPECT_EQ(again.exitCode, 0u) << again.standardError;
    bool kept = false;
    for (const std::wstring& name : testfiles::Names(target + L"\\DTAfb")) {
        kept = kept || ReadBytes(target + L"\\DTAfb\\" + name) == "the clinic's patients";
    }
    EXPECT_TRUE(kept);
    const std::string both = ReadBytes(target + L"\\Install.log");
    EXPECT_THAT(both, StartsWith(logged));
    EXPECT_EQ(both.find(kBom, 1), std::string::npos);
    EXPECT_THAT(both.substr(logged.size()),
                HasSubstr(Utf8(L"  Установка драйверов устройства пропущена (нет параметра "
                               L"/DRIVER)\r\n")));
}

struct WrongLine {
    const wchar_t* arguments; // "{dir}" stands for a directory that must not appear
    const wchar_t* reason;
};

TEST_F(SwitchesEndToEnd, AWrongCommandLineEndsWithOneAndCreatesNothing) {
    const std::wstring dir = work_.path() + L"never";
    const std::wstring relative = L"ab"; // below the medium, two letters: a root for the page
    const WrongLine lines[] = {
        {L"/VERYSILENT /BOGUS /DIR={dir}", L"Неизвестный параметр: /BOGUS"},
        {L"/VERYSILENT /DIR", L"Не задано значение параметра: /DIR"},
        {L"/SILENT=1 /DIR={dir}", L"Параметр без значения: /SILENT=1"},
        {L"/VERYSILENT /DIR=C:\\", L"Программу нелзя устанавливать в корневой каталог!"},
        {L"/SILENT /DIR=ab", L"Программу нелзя устанавливать в корневой каталог!"},
        {L"/VERYSILENT /DIR=\"  \"", L"Не выбран путь для установки программы!"},
    };
    const std::wstring log = work_.path() + L"wrong.log";
    for (const WrongLine& line : lines) {
        std::wstring arguments = line.arguments;
        if (const auto at = arguments.find(L"{dir}"); at != std::wstring::npos) {
            arguments.replace(at, 5, Quoted(dir));
        }
        SCOPED_TRACE(Utf8(arguments));
        const Outcome outcome = RunInstaller(DemoMedium(), arguments + L" /LOG=" + Quoted(log));
        EXPECT_EQ(outcome.exitCode, 1u);
        EXPECT_THAT(outcome.standardError, HasSubstr(Utf8(line.reason)));
        EXPECT_THAT(ReadBytes(log), HasSubstr(Utf8(line.reason)));
        EXPECT_THAT(ReadBytes(log), HasSubstr(Utf8(L"Код завершения: 1\r\n")));
        EXPECT_TRUE(outcome.windowTitles.empty());
        EXPECT_FALSE(Exists(dir));
        EXPECT_FALSE(Exists(DemoMedium() + relative));
        DeleteFileW(log.c_str());
    }
}

TEST_F(SwitchesEndToEnd, HelpListsTheSwitchesOnTheStandardError) {
    const Outcome outcome = RunInstaller(DemoMedium(), L"/?");
    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_THAT(outcome.standardError, HasSubstr("/VERYSILENT"));
    EXPECT_THAT(outcome.standardError, HasSubstr(Utf8(L"Коды завершения:")));
    EXPECT_TRUE(outcome.windowTitles.empty());
}

TEST_F(SwitchesEndToEnd, BrokenMediaEndTheRunWithTheirExitCodes) {
    MediumCopy medium;
    const std::wstring target = work_.path() + L"Holter";
    const std::wstring run = L"/VERYSILENT /DIR=" + Quoted(target);

    // A missing in-house library: its copy cannot open the source, which
    // abandons the run; the error report is in the log.
    DeleteFileW((medium / L"UDF\\Maple.Dll").c_str());
    Outcome outcome = RunInstaller(medium.path(), run);
    EXPECT_EQ(outcome.exitCode, 2u);
    std::string log = ReadBytes(target + L"\\Install.log");
    EXPECT_THAT(log, HasSubstr(Utf8(L"Установка прервана ошибкой:\r\nCannot open file \"" +
                                    medium.path() + L"UDF\\Maple.Dll\"")));
    EXPECT_THAT(outcome.standardError, HasSubstr(Utf8(L"UDF\\Maple.Dll")));
    CopyFileW((DemoMedium() + L"UDF\\Maple.Dll").c_str(), (medium / L"UDF\\Maple.Dll").c_str(),
              FALSE);

    // A medium without its database over an earlier installation: nothing
    // earlier is lost, the database stays at its name as it was.
    EXPECT_EQ(RunInstaller(medium.path(), run).exitCode, 0u);
    WriteFileCreatingDirs(target + L"\\DTAfb\\QZ7.FDB", "the clinic's patients");
    const auto before = SnapshotTree(target + L"\\");
    DeleteFileW((medium / L"DTAfb\\QZ7.FDB").c_str());
    outcome = RunInstaller(medium.path(), run);
    EXPECT_EQ(outcome.exitCode, 2u);
    const auto after = SnapshotTree(target + L"\\");
    for (const auto& [name, bytes] : before) {
        if (name == L"Install.log") {
            EXPECT_THAT(after.at(name), StartsWith(bytes));
        } else {
            EXPECT_EQ(after.count(name) ? after.at(name) : "<gone>", bytes) << Utf8(name);
        }
    }
}

TEST_F(SwitchesEndToEnd, AFontTheMediumLacksFinishesTheRunWithThree) {
    MediumCopy medium;
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    const std::wstring installed = std::wstring(windows) + L"\\fonts\\COUR.TTF";
    DeleteFileW(installed.c_str());
    DeleteFileW((medium / L"fonts\\COUR.TTF").c_str());
    const std::wstring target = work_.path() + L"Holter\\";
    const Outcome outcome = RunInstaller(medium.path(), L"/VERYSILENT /DIR=" + Quoted(target));
    // The prefix's fonts directory gets the demo font back for later runs.
    CopyFileW((DemoMedium() + L"fonts\\COUR.TTF").c_str(), installed.c_str(), FALSE);
    EXPECT_EQ(outcome.exitCode, 3u);
    const std::string log = ReadBytes(target + L"Install.log");
    EXPECT_THAT(log, HasSubstr(Utf8(L"  Установка шрифтов....ОШИБКА!!! Cannot open file \"" +
                                    medium.path() + L"fonts\\COUR.TTF\"")));
    EXPECT_THAT(log, HasSubstr(Utf8(L"Код завершения: 3\r\n")));
    EXPECT_TRUE(Exists(target + L"ReleaseInfo")); // the run went on
}

// What a window of the silent run shows.
struct PageSearch {
    DWORD processId = 0;
    HWND main = nullptr;
    bool logShown = false;     // the progress log (hidden until the run shows it)
    bool wizardButton = false; // a button of the wizard's other pages
};

BOOL CALLBACK FindMain(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<PageSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search.processId && IsWindowVisible(window) &&
        StoredText(window) == L"Установка комплекса") {
        search.main = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK LookAtControl(HWND child, LPARAM param) {
    auto& search = *reinterpret_cast<PageSearch*>(param);
    if (!IsWindowVisible(child)) {
        return TRUE;
    }
    search.logShown =
        search.logShown || _wcsicmp(wizard::ClassName(child).c_str(), L"ListBox") == 0;
    const std::wstring text = StoredText(child);
    search.wizardButton = search.wizardButton || text == L"Далее" || text == L"Начать установку";
    return TRUE;
}

// The main window when it shows the progress page, else null.
HWND ProgressPage(DWORD processId) {
    PageSearch search;
    search.processId = processId;
    EnumWindows(FindMain, reinterpret_cast<LPARAM>(&search));
    if (search.main == nullptr) {
        return nullptr;
    }
    EnumChildWindows(search.main, LookAtControl, reinterpret_cast<LPARAM>(&search));
    return search.logShown && !search.wizardButton ? search.main : nullptr;
}

TEST_F(SwitchesEndToEnd, SilentShowsTheProgressPageAndEndsByItself) {
    MediumCopy medium;
    // The newest backup's script waits until the test has seen the page
    // (cmd reads the script in the OEM code page: a path without Cyrillic).
    const std::wstring go = medium / L"go.txt";
    WriteFileCreatingDirs(medium / L"backup\\r010115\\Install.cmd",
                          Utf8(L"@echo off\r\n:wait\r\nif not exist \"" + go +
                               L"\" goto wait\r\necho r010115> \"..\\..\\backup-ran.txt\"\r\n"));
    const std::wstring target = work_.path() + L"Holter";
    bool seen = false;
    const Outcome outcome =
        RunInstaller(medium.path(), L"/SILENT /DIR=" + Quoted(target), [&](DWORD processId) {
            if (seen) {
                return;
            }
            if (const HWND page = ProgressPage(processId)) {
                seen = true;
                wizard::SaveScreenShot(page, testfiles::FromUnixEnvironment("VESTAR_BUILD_DIR") +
                                                 L"\\screens\\silent-progress.png");
                WriteFileCreatingDirs(go, "go");
            }
        });
    EXPECT_TRUE(seen);
    EXPECT_EQ(outcome.exitCode, 0u) << outcome.standardError;
    // The main window and the application window, which carries the taskbar button.
    EXPECT_EQ(outcome.windowTitles,
              (std::set<std::wstring>{L"Установка комплекса", L"Установка комплекса \"Вестар\""}));
    EXPECT_THAT(ReadBytes(target + L"\\backup-ran.txt"), HasSubstr("r010115"));
}

// A relative /LOG names a file in the directory the program was started
// from: a complete run leaves the process in the target directory, a
// stopped one in the medium's, and neither gets the file.
TEST_F(SwitchesEndToEnd, ARelativeLogLandsInTheStartingDirectory) {
    MediumCopy medium;
    const std::wstring started = work_.path() + L"started here\\";
    ASSERT_TRUE(CreateDirectoryW(started.c_str(), nullptr));
    const std::wstring target = work_.path() + L"Holter\\";
    struct Case {
        const wchar_t* log;
        bool removeDatabase; // the missing database stops the run
        DWORD exitCode;
    };
    for (const Case& run : {Case{L"complete.log", false, 0}, Case{L"stopped.log", true, 2}}) {
        SCOPED_TRACE(Utf8(run.log));
        if (run.removeDatabase) {
            ASSERT_TRUE(DeleteFileW((medium / L"DTAfb\\QZ7.FDB").c_str()));
        }
        const Outcome outcome =
            RunInstaller(medium.path(), L"/VERYSILENT /DIR=" + Quoted(target) + L" /LOG=" + run.log,
                         {}, started);
        EXPECT_EQ(outcome.exitCode, run.exitCode) << outcome.standardError;
        EXPECT_THAT(ReadBytes(started + run.log),
                    HasSubstr("\r\n" + Utf8(L"Код завершения: ") + std::to_string(run.exitCode)));
        EXPECT_FALSE(Exists(target + run.log));
        EXPECT_FALSE(Exists(medium / run.log));
    }
}

// The window of `processId` of class `className`, shown or hidden.
struct ClassSearch {
    DWORD processId;
    const wchar_t* className;
    HWND found = nullptr;
};

BOOL CALLBACK FindByClass(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<ClassSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search.processId && wizard::ClassName(window) == search.className) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

// Windows ends the session while an unattended run waits for the backup's
// script (the copies are done, so the end is granted): the log says so and
// the exit code is not success, with a window and without one.
TEST_F(SwitchesEndToEnd, ASessionEndingDuringTheRunIsLoggedAndEndsWithTwo) {
    MediumCopy medium;
    // The script tells it has started, then waits for the test (cmd reads
    // the script in the OEM code page: relative paths only).
    WriteFileCreatingDirs(medium / L"backup\\r010115\\Install.cmd",
                          "@echo off\r\necho started>..\\..\\started.txt\r\n:wait\r\n"
                          "if not exist ..\\..\\go.txt goto wait\r\n"
                          "echo ended>..\\..\\ended.txt\r\n");
    struct Case {
        const wchar_t* mode;
        const wchar_t* windowClass; // the window Windows asks
    };
    for (const Case& run :
         {Case{L"/SILENT", L"TFMain"}, Case{L"/VERYSILENT", L"TInstallSession"}}) {
        SCOPED_TRACE(Utf8(run.mode));
        const std::wstring target = work_.path() + std::wstring(run.mode + 1) + L"\\";
        DWORD_PTR granted = FALSE;
        bool asked = false;
        const Outcome outcome = RunInstaller(
            medium.path(), std::wstring(run.mode) + L" /DIR=" + Quoted(target), [&](DWORD id) {
                ClassSearch search{id, run.windowClass};
                if (asked || !Exists(target + L"started.txt") ||
                    (EnumWindows(FindByClass, reinterpret_cast<LPARAM>(&search)),
                     search.found == nullptr)) {
                    return;
                }
                asked = true;
                SendMessageTimeoutW(search.found, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF,
                                    SMTO_NORMAL, 10000, &granted);
                DWORD_PTR ignored = 0;
                SendMessageTimeoutW(search.found, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF,
                                    SMTO_NORMAL, 10000, &ignored);
            });
        WriteFileCreatingDirs(target + L"go.txt", "go");
        // The script outlives the ended installer; a script still running when
        // the test removes its directory would never end.
        EXPECT_TRUE(testwait::PollUntil([&] { return Exists(target + L"ended.txt"); },
                                        std::chrono::seconds(60)));
        EXPECT_TRUE(asked);
        EXPECT_EQ(granted, static_cast<DWORD_PTR>(TRUE));
        EXPECT_EQ(outcome.exitCode, 2u);
        const std::string log = ReadBytes(target + L"Install.log");
        EXPECT_THAT(log, HasSubstr(Utf8(L"  Установка прервана: сеанс Windows завершается\r\n")));
        EXPECT_THAT(log, HasSubstr(Utf8(L"Код завершения: 2\r\n")));
    }
}

// One way to break a copy of the demo medium, and what /CHECK and the
// unattended run from it both end with.
struct Breakage {
    const char* name;
    std::function<void(const MediumCopy&)> breakIt;
    const wchar_t* switches; // given to both: "" or "/DRIVER"
    DWORD exitCode;
    int errors;          // the report's count; a remark is not one
    const wchar_t* path; // relative to the medium; nullptr: no line names anything
    const wchar_t* what;
    std::function<void()> restore = {}; // puts back what was changed outside the medium
};

void Remove(const MediumCopy& medium, const wchar_t* relative) {
    EXPECT_TRUE(DeleteFileW((medium / relative).c_str()));
}

std::wstring InstalledFont(const wchar_t* name) {
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    return std::wstring(windows) + L"\\fonts\\" + name;
}

// The prefix's fonts directory holds the demo medium's copy of the font.
void ReinstallDemoFont(const wchar_t* name) {
    CopyFileW((DemoMedium() + L"fonts\\" + name).c_str(), InstalledFont(name).c_str(), FALSE);
}

TEST_F(SwitchesEndToEnd, CheckPassesTheDemoMediumAndNamesEachProblemOfABrokenCopy) {
    const std::wstring log = work_.path() + L"check.log";
    const Outcome good = RunInstaller(DemoMedium(), L"/CHECK /LOG=" + Quoted(log));
    EXPECT_EQ(good.exitCode, 0u) << good.standardError;
    EXPECT_THAT(good.standardError, HasSubstr(Utf8(L"Найдено ошибок: 0\r\n")));
    EXPECT_THAT(good.standardError, Not(HasSubstr(Utf8(L"Замечания"))));
    EXPECT_THAT(good.standardError, HasSubstr(Utf8(L"Резервная копия: ")));
    EXPECT_THAT(good.standardError, HasSubstr(Utf8(L"r010115, уровень 010115\r\n")));
    EXPECT_THAT(ReadBytes(log), HasSubstr(Utf8(L"Найдено ошибок: 0")));
    EXPECT_TRUE(good.windowTitles.empty());
}

// /CHECK's exit code is the one /VERYSILENT from the same medium ends with.
TEST_F(SwitchesEndToEnd, CheckGivesTheCodeTheUnattendedRunFromTheSameMediumEndsWith) {
    const auto gone = [](const wchar_t* relative) {
        return [relative](const MediumCopy& medium) { Remove(medium, relative); };
    };
    const auto write = [](const wchar_t* relative, const char* bytes) {
        return [relative, bytes](const MediumCopy& medium) {
            WriteFileCreatingDirs(medium / relative, bytes);
        };
    };
    const Breakage breakages[] = {
        {"group 1", gone(L"DTAfb\\QZ7.FDB"), L"", 2, 1, L"DTAfb\\QZ7.FDB", L"нет файла"},
        {"group 2A", gone(L"Firebird\\gds32.dll"), L"", 2, 1, L"Firebird\\gds32.dll", L"нет файла"},
        {"group 2B, which an unattended run never copies",
         [](const MediumCopy& medium) {
             Remove(medium, L"Firebird\\msvcr71.Dll");
             Remove(medium, L"Firebird\\msvcp71.Dll");
         },
         L"", 0, 0, nullptr, nullptr},
        {"group 3", gone(L"Firebird\\intl\\fbintl.conf"), L"", 2, 1, L"Firebird\\intl\\fbintl.conf",
         L"нет файла"},
        {"group 4", gone(L"Firebird\\udf\\ib_udf2.sql"), L"", 2, 1, L"Firebird\\udf\\ib_udf2.sql",
         L"нет файла"},
        {"group 5", gone(L"UDF\\Maple.Dll"), L"", 2, 1, L"UDF\\Maple.Dll", L"нет файла"},
        {"a backup name that is no date",
         [](const MediumCopy& medium) {
             CreateDirectoryW((medium / L"backup\\x13x231").c_str(), nullptr);
         },
         L"", 2, 1, L"backup\\x13x231",
         L"имя резервной копии не оканчивается датой ддммгг: '31x213' is not a valid integer "
         L"value"},
        {"no script in the newest backup", gone(L"backup\\r010115\\Install.cmd"), L"", 2, 1,
         L"backup\\r010115\\Install.cmd", L"в выбранной резервной копии нет сценария установки"},
        {"no backup at all",
         [](const MediumCopy& medium) { testfiles::RemoveTree(medium / L"backup"); }, L"", 2, 1,
         L"backup\\", L"нет каталога резервных копий"},
        {"ReleaseInfo of another version",
         write(L"Updater\\ReleaseInfo", "<ROOT><Version>2</Version><Level>1</Level></ROOT>"), L"",
         2, 1, L"Updater\\ReleaseInfo",
         L"Cannot get release information, error: unknown release file version"},
        {"ReleaseInfo without Level",
         write(L"Updater\\ReleaseInfo", "<ROOT><Version>1</Version></ROOT>"), L"", 2, 1,
         L"Updater\\ReleaseInfo", L"Cannot get release information, error: "},
        {"no Updater.exe.cfg", gone(L"Updater\\Updater.exe.cfg"), L"", 0, 0,
         L"Updater\\Updater.exe.cfg", L"нет файла (установка пройдёт без него)"},
        {"a missing font this machine has",
         [](const MediumCopy& medium) {
             ReinstallDemoFont(L"COUR.TTF");
             Remove(medium, L"fonts\\COUR.TTF");
         },
         L"", 0, 0, L"fonts\\COUR.TTF", L"нет файла (шрифт на этом компьютере уже установлен)"},
        {"a missing font this machine lacks",
         [](const MediumCopy& medium) {
             DeleteFileW(InstalledFont(L"COUR.TTF").c_str());
             Remove(medium, L"fonts\\COUR.TTF");
         },
         L"", 3, 1, L"fonts\\COUR.TTF", L"нет файла", [] { ReinstallDemoFont(L"COUR.TTF"); }},
        {"a font that is no font", write(L"fonts\\TIMES.TTF", "not a font"), L"", 0, 0,
         L"fonts\\TIMES.TTF", L"не читается как шрифт TrueType с полным именем",
         [] { ReinstallDemoFont(L"TIMES.TTF"); }},
        {"no driver installer, no /DRIVER", gone(L"FTDIDriverInstall\\FTDIDriverInstall.exe"), L"",
         0, 0, L"FTDIDriverInstall\\FTDIDriverInstall.exe", L"нет программы установки драйвера"},
        {"no driver installer, /DRIVER", gone(L"FTDIDriverInstall\\FTDIDriverInstall.exe"),
         L"/DRIVER", 3, 1, L"FTDIDriverInstall\\FTDIDriverInstall.exe",
         L"нет программы установки драйвера"},
        {"no driver directory, /DRIVER",
         [](const MediumCopy& medium) { testfiles::RemoveTree(medium / L"FTDIDriverInstall"); },
         L"/DRIVER", 3, 1, L"FTDIDriverInstall\\", L"нет каталога программы установки драйвера"},
    };
    int runs = 0;
    for (const Breakage& breakage : breakages) {
        SCOPED_TRACE(breakage.name);
        MediumCopy medium;
        breakage.breakIt(medium);
        const std::wstring switches = breakage.switches;
        const Outcome check = RunInstaller(medium.path(), L"/check " + switches);
        const std::wstring target = work_.path() + L"run " + std::to_wstring(++runs) + L"\\";
        const Outcome run =
            RunInstaller(medium.path(), L"/VERYSILENT " + switches + L" /DIR=" + Quoted(target));
        if (breakage.restore) {
            breakage.restore();
        }
        EXPECT_EQ(check.exitCode, breakage.exitCode) << check.standardError;
        EXPECT_EQ(run.exitCode, breakage.exitCode) << ReadBytes(target + L"Install.log");
        EXPECT_TRUE(check.windowTitles.empty());
        EXPECT_THAT(
            check.standardError,
            HasSubstr(Utf8(L"Найдено ошибок: " + std::to_wstring(breakage.errors) + L"\r\n")));
        if (breakage.path == nullptr) {
            EXPECT_THAT(check.standardError, HasSubstr(Utf8(L"Найдено ошибок: 0\r\n\r\n")));
            continue;
        }
        EXPECT_THAT(check.standardError,
                    HasSubstr(Utf8(medium.path() + breakage.path + L": " + breakage.what)));
        // A problem the run would not notice is a remark.
        EXPECT_EQ(check.standardError.find(Utf8(L"Замечания (установку не остановят): 1\r\n")) !=
                      std::string::npos,
                  breakage.errors == 0);
    }
}

// The run takes the newest backup also from the updater tree, and /CHECK
// names the one it takes.
TEST_F(SwitchesEndToEnd, CheckNamesTheBackupTheRunRecords) {
    MediumCopy medium;
    WriteFileCreatingDirs(medium / L"Updater\\backup\\r020115\\Install.cmd", "@exit /b 0\r\n");
    const Outcome check = RunInstaller(medium.path(), L"/CHECK");
    EXPECT_EQ(check.exitCode, 0u) << check.standardError;
    EXPECT_THAT(check.standardError,
                HasSubstr(Utf8(L"Резервная копия: " + medium.path() +
                               L"Updater\\backup\\r020115, уровень 020115\r\n")));
    const std::wstring target = work_.path() + L"Holter\\";
    EXPECT_EQ(RunInstaller(medium.path(), L"/VERYSILENT /DIR=" + Quoted(target)).exitCode, 0u);
    EXPECT_THAT(ReadBytes(target + L"ReleaseInfo"), HasSubstr("<Level>020115</Level>"));
}

} // namespace
