// The install run against a small medium in a scratch directory, with a
// recording host, scripted answers and real files, processes and COM.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <thread>

#include "FakeHost.h"
#include "SmallMedium.h"
#include "common/HeldWriter.h"
#include "common/TestFiles.h"
#include "files/BlockWriter.h"
#include "install/InstallLog.h"
#include "install/InstallRun.h"
#include "install/MediumLayout.h"
#include "install/Preflight.h"
#include "base/AppError.h"
#include "base/Handles.h"
#include "ui/Application.h"
#include "base/SysError.h"

using base::AppError;
using base::SysErrorMessage;
using base::UniqueFindHandle;
using base::UniqueHandle;
using base::WithFullStop;
using files::ScopedBlockWriter;
using install::InstallEnvironment;
using install::kDriverNotDone;
using install::RunInstall;
using install::RunInstallLogged;
using install::TLogTargets;
using install::TRunEnd;
using install::TUnattended;
using install::TWizardPage;
using ui::TModalResult;
using ui::TMsgDlgButtons;
using ui::TMsgDlgType;

using testfiles::Exists;
using testfiles::ReadBytes;
using testfiles::Utf8;
using testfiles::WriteFileCreatingDirs;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;
namespace MediumLayout = install::MediumLayout;

namespace {

using namespace smallmedium;

class InstallRunTest : public InstallFixture {
  protected:
    void SetUp() override {
        InstallFixture::SetUp();
        host_.path = L"  " + target_ + L"  ";
    }

    // The run, expected to end normally.
    void Run() {
        const std::wstring error = RunExpectingError();
        EXPECT_EQ(error, L"") << "the run raised an error";
    }

    std::vector<std::wstring> CopyLines() const {
        std::vector<std::wstring> lines;
        std::copy_if(host_.log.lines.begin(), host_.log.lines.end(), std::back_inserter(lines),
                     [](const std::wstring& line) { return line.rfind(L"Копирование", 0) == 0; });
        return lines;
    }
};

TEST_F(InstallRunTest, FreshInstallationCopiesEveryGroupAndEndsOnTheClosingQuestion) {
    Run();

    const auto& log = host_.log.lines;
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[0], L"Создание настроечных файлов....Завершено");
    EXPECT_EQ(log[1], L"Каталог <DTAfb> создан...");
    EXPECT_EQ(log[2], L"Копирование файла QZ7.FDB....Завершено");
    const auto copies = CopyLines();
    EXPECT_EQ(copies.size(), 1 + kRuntime2A.size() + kIntl.size() + kUdf.size() + kInHouse.size());
    for (const auto& line : copies) {
        EXPECT_THAT(line, HasSubstr(L"....Завершено"));
    }
    EXPECT_THAT(log, Contains(L"Началась установка драйверов устройства..."));
    EXPECT_THAT(log, Contains(L"Установка драйверов устройства завершена"));
    // The installation's registration comes last.
    ASSERT_GE(log.size(), 3u);
    EXPECT_THAT(
        std::vector<std::wstring>(log.end() - 3, log.end()),
        ElementsAre(L"Размещение программы удаления....Завершено",
                    L"Запись списка установленных файлов....Завершено",
                    L"Регистрация в списке установленных программ компьютера....Завершено"));

    EXPECT_EQ(ReadBytes(target_ + L"DTAfb\\QZ7.FDB"), "medium database\r\n");
    EXPECT_EQ(ReadBytes(target_ + L"gds32.dll"), ContentOf(L"gds32.dll"));
    EXPECT_EQ(ReadBytes(target_ + L"intl\\fbintl.dll"), ContentOf(L"fbintl.dll"));
    EXPECT_EQ(ReadBytes(target_ + L"udf\\ib_udf2.sql"), ContentOf(L"ib_udf2.sql"));
    EXPECT_EQ(ReadBytes(target_ + L"udf\\Maple.Dll"), ContentOf(L"Maple.Dll"));
    EXPECT_FALSE(Exists(target_ + L"msvcp71.Dll"));
    EXPECT_EQ(ReadBytes(target_ + L"Settings\\holter.ini"),
              "[options]\r\nFilterType=0\r\nHardwareType=1\r\n\r\n");
    EXPECT_EQ(ReadBytes(target_ + L"Settings\\uca.nsi").size(), 840u);
    EXPECT_EQ(ReadBytes(target_ + L"Settings\\lastnum.dta").size(), 14u);
    EXPECT_FALSE(Exists(target_ + L"btooth.ini"));
    EXPECT_TRUE(Exists(target_ + L"FTDIDriverInstall\\FTDIDriverInstall.exe"));

    // The newest backup's script ran in its own directory; its level is recorded.
    EXPECT_EQ(ReadBytes(target_ + L"script.txt"), "new\r\n");
    EXPECT_THAT(ReadBytes(target_ + L"ReleaseInfo"), HasSubstr("<Level>010115</Level>"));
    EXPECT_TRUE(Exists(DesktopLink()));
    wchar_t current[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, current);
    EXPECT_EQ(std::wstring(current) + L"\\", target_);

    EXPECT_EQ(host_.copyFrom, medium_.path());
    EXPECT_THAT(host_.pages, ElementsAre(TWizardPage::tsProgressInstall));
    EXPECT_THAT(host_.canCloseHistory, ElementsAre(false, true));
    EXPECT_FALSE(host_.hourglass);
    EXPECT_TRUE(host_.exitEnabled);
    ASSERT_FALSE(dialogs_.asked.empty());
    EXPECT_EQ(dialogs_.asked.back().text, L"Установка завершена. Выйти из программы установки?");
    EXPECT_EQ(host_.closeRequests, 0);
}

TEST_F(InstallRunTest, CreatesAMissingTargetAndAnnouncesIt) {
    RemoveDirectoryW((target_ + L"Settings").c_str());
    RemoveDirectoryW(target_.c_str());
    // Settings\ is missing after the target is made, so holter.ini cannot be written.
    EXPECT_THAT(RunExpectingError(),
                HasSubstr(L"Cannot create file \"" + target_ + L"Settings\\holter.ini\""));
    EXPECT_THAT(host_.log.lines, ElementsAre(L"Каталог создан..."));
    EXPECT_TRUE(host_.canCloseHistory.empty());
    EXPECT_FALSE(host_.exitEnabled);
}

TEST_F(InstallRunTest, TargetThatCannotBeCreatedEndsTheRunWithOneLine) {
    host_.path = work_.path() + L"missing\\Holter\\";
    Run();
    ASSERT_EQ(dialogs_.asked.size(), 1u);
    EXPECT_EQ(dialogs_.asked[0].text, L"Ошибка при создании каталога!");
    EXPECT_EQ(dialogs_.asked[0].type, TMsgDlgType::mtError);
    EXPECT_THAT(host_.log.lines, ElementsAre(L"Ошибка при создании каталога!"));
    EXPECT_TRUE(host_.canCloseHistory.empty());
    EXPECT_FALSE(host_.exitEnabled);
}

TEST_F(InstallRunTest, DtaDirectoryThatCannotBeCreatedStopsInsideTheStretch) {
    WriteFileCreatingDirs(target_ + L"DTAfb", "a file where the directory belongs");
    Run();
    ASSERT_EQ(dialogs_.asked.size(), 1u);
    EXPECT_EQ(dialogs_.asked[0].text, L"Ошибка при создании каталога <DTAfb>!");
    EXPECT_THAT(host_.log.lines, ElementsAre(L"Создание настроечных файлов....Завершено",
                                             L"Ошибка при создании каталога <DTAfb>!"));
    EXPECT_TRUE(Exists(target_ + L"Settings\\holter.ini"));
    EXPECT_TRUE(Exists(target_ + L"Settings\\wra.nsi"));
    EXPECT_THAT(host_.canCloseHistory, ElementsAre(false, true));
    EXPECT_FALSE(host_.hourglass);
    EXPECT_FALSE(host_.exitEnabled);
}

TEST_F(InstallRunTest, WindowsXpIndexCopiesTheOlderRuntime) {
    host_.windowsIndex = 1;
    Run();
    const auto copies = CopyLines();
    EXPECT_EQ(copies.size(), 1 + 10 + kIntl.size() + kUdf.size() + kInHouse.size());
    EXPECT_EQ(ReadBytes(target_ + L"msvcr71.Dll"), ContentOf(L"msvcr71.Dll"));
    EXPECT_FALSE(Exists(target_ + L"msvcp80.Dll"));
    EXPECT_FALSE(Exists(target_ + L"gbak.exe"));
    EXPECT_EQ(copies[10], L"Копирование файла firebird.msg....Завершено");
}

TEST_F(InstallRunTest, MissingSourceFileAbandonsTheRunWithTheOpenError) {
    // The last group continues after a failed copy, but an unopenable
    // source raises in every group.
    for (const std::wstring missing : {L"Firebird\\icuuc30.Dll", L"UDF\\Maple.Dll"}) {
        SCOPED_TRACE(Utf8(missing));
        host_ = FakeHost{};
        host_.path = target_;
        BuildMedium(medium_.path());
        DeleteFileW((medium_.path() + missing).c_str());
        const std::wstring error = RunExpectingError();
        EXPECT_THAT(error, HasSubstr(L"Cannot open file \"" + medium_.path() + missing + L"\""));
        const std::wstring name = missing.substr(missing.find(L'\\') + 1);
        EXPECT_EQ(host_.log.lines.back(), L"Копирование файла " + name + L"....");
        EXPECT_THAT(host_.canCloseHistory, ElementsAre(false, true));
        EXPECT_FALSE(host_.hourglass);
        EXPECT_FALSE(host_.exitEnabled);
    }
}

TEST_F(InstallRunTest, FailedContentCopyStopsTheRunExceptForTheInHouseLibraries) {
    {
        FailingOnContent disk(ContentOf(L"gds32.dll"));
        ScopedBlockWriter failing(disk);
        Run();
    }
    EXPECT_EQ(host_.log.lines.back(), L"Копирование файла gds32.dll....ОШИБКА!!!");
    EXPECT_TRUE(dialogs_.asked.empty()); // no box, not even the driver question
    EXPECT_FALSE(Exists(target_ + L"gds32.dll"));
    EXPECT_FALSE(Exists(target_ + L"Settings\\lastnum.dta"));
    EXPECT_THAT(host_.canCloseHistory, ElementsAre(false, true));
    EXPECT_FALSE(host_.hourglass);
    EXPECT_FALSE(host_.exitEnabled);

    host_ = FakeHost{};
    host_.path = target_;
    {
        FailingOnContent disk(ContentOf(L"Birch.Dll"));
        ScopedBlockWriter failing(disk);
        Run();
    }
    const auto copies = CopyLines();
    const auto birch =
        std::find(copies.begin(), copies.end(), L"Копирование файла Birch.Dll....ОШИБКА!!!");
    ASSERT_NE(birch, copies.end());
    EXPECT_EQ(*(birch + 1), L"Копирование файла Cedar.Dll....Завершено");
    EXPECT_EQ(*(birch + 2), L"Копирование файла Maple.Dll....Завершено");
    EXPECT_TRUE(Exists(target_ + L"Settings\\lastnum.dta"));
    EXPECT_TRUE(host_.exitEnabled);
}

// A copy held past half a second shows its percentage on its own line; the
// finished line carries only the result word.
TEST_F(InstallRunTest, LongCopyShowsItsPercentageInPlaceThenTheResultWord) {
    const std::wstring announced = L"Копирование файла QZ7.FDB....";
    testfiles::HeldWriter disk;
    std::vector<std::wstring> shown;         // the database's line as each pump saw it
    std::vector<std::wstring> lastWhenShown; // the log's last line beside each percentage
    host_.onPump = [&] {
        const auto line =
            std::find_if(host_.log.lines.begin(), host_.log.lines.end(),
                         [&](const std::wstring& text) { return text.rfind(announced, 0) == 0; });
        if (line != host_.log.lines.end() && (shown.empty() || shown.back() != *line)) {
            shown.push_back(*line);
            if (line->back() == L'%') {
                // The released copy may still show 100% before its result word.
                lastWhenShown.push_back(host_.log.lines.back());
                disk.Release();
            }
        }
    };
    {
        const ScopedBlockWriter held(disk);
        Run();
    }
    EXPECT_THAT(shown, Contains(announced + L"0%"));
    ASSERT_FALSE(lastWhenShown.empty());
    EXPECT_EQ(lastWhenShown.front(), announced + L"0%")
        << "the percentage is on the copy's own line";
    for (const auto& last : lastWhenShown) {
        EXPECT_THAT(last, StartsWith(announced)) << "no line follows the copy's own";
    }
    EXPECT_EQ(
        std::count_if(host_.log.lines.begin(), host_.log.lines.end(),
                      [&](const std::wstring& text) { return text.rfind(announced, 0) == 0; }),
        1);
    EXPECT_EQ(host_.log.lines[2], announced + L"Завершено");
    EXPECT_EQ(ReadBytes(target_ + L"DTAfb\\QZ7.FDB"), "medium database\r\n");
}

// The taskbar counts the bytes of every file the stretch copies, never
// past the whole, and is cleared when the stretch ends.
TEST_F(InstallRunTest, TaskbarProgressCountsEveryCopiedByteOnceThenClears) {
    WriteFileCreatingDirs(medium_.path() + L"DTAfb\\QZ7.FDB", std::string(100000, 'd'));
    uint64_t total = 100000;
    for (const auto* names : {&kRuntime2A, &kIntl, &kUdf, &kInHouse}) {
        for (const auto& name : *names) {
            total += ContentOf(name).size();
        }
    }
    Run();
    ASSERT_GE(host_.progress.size(), 2u);
    EXPECT_EQ(host_.progress.back(), (std::pair<uint64_t, uint64_t>{0, 0}));
    const auto& whole = host_.progress[host_.progress.size() - 2];
    EXPECT_EQ(whole, (std::pair<uint64_t, uint64_t>{total, total}));
    for (size_t i = 1; i + 1 < host_.progress.size(); ++i) {
        EXPECT_GE(host_.progress[i].first, host_.progress[i - 1].first);
        EXPECT_EQ(host_.progress[i].second, total);
    }
}

TEST_F(InstallRunTest, CloseRequestsAtThePumpsOfTheStretchMeetCanCloseFalse) {
    Run();
    // Pumps: after the progress page shows, at the stretch's start and after
    // the settings files' line, after DTAfb is created, and one before each
    // copy.
    // The waits after the stretch (fonts, trees, script) pump with it ended.
    const auto& pumps = host_.pumpsWithCanClose;
    ASSERT_GE(pumps.size(), 4u + CopyLines().size());
    EXPECT_TRUE(pumps[0]);
    const auto stretchEnd = std::find(pumps.begin() + 1, pumps.end(), true);
    EXPECT_GE(stretchEnd - pumps.begin(), static_cast<std::ptrdiff_t>(4 + CopyLines().size()));
    EXPECT_TRUE(
        std::all_of(pumps.begin() + 1, stretchEnd, [](bool canClose) { return !canClose; }));
    EXPECT_TRUE(std::all_of(stretchEnd, pumps.end(), [](bool canClose) { return canClose; }));
}

// A window of the run's thread, for messages sent from other threads.
struct ProbeWindow {
    ProbeWindow()
        : window(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                 nullptr)) {}
    // Whether the window's thread answers a message sent from this one.
    bool Answers() const {
        DWORD_PTR result = 0;
        return SendMessageTimeoutW(window.get(), WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result) != 0;
    }
    base::UniqueWindow window;
};

// The steps after the stretch wait on worker threads while the window's
// thread keeps answering: during the backup's script, held until the test
// has sent its message, and in the wait that copies the backup and updater
// trees.
TEST_F(InstallRunTest, WindowAnswersWhileTheScriptAndTheTreeCopiesRun) {
    for (const wchar_t* backup : {L"r150613", L"r010115"}) {
        WriteFileCreatingDirs(medium_.path() + L"backup\\" + backup + L"\\Install.cmd",
                              "@echo off\r\necho started>..\\..\\started.txt\r\n:wait\r\n"
                              "if not exist ..\\..\\go.txt goto wait\r\n"
                              "echo held>..\\..\\script.txt\r\n");
    }
    const ProbeWindow probe;
    ASSERT_TRUE(probe.window);
    host_.onPump = [] { ui::ProcessMessages(); };
    struct Wait {
        bool answered;
        bool treesBefore, treesAfter; // the updater's ReleaseInfo in the target
    };
    std::vector<Wait> waits;
    const std::wstring trees = target_ + L"ReleaseInfo";
    host_.onWorker = [&] { waits.push_back({probe.Answers(), Exists(trees), false}); };
    host_.afterWork = [&] { waits.back().treesAfter = Exists(trees); };
    bool scriptAnswered = false;
    std::thread script([&] {
        // Bounded: a run that never starts the script fails below.
        for (int tries = 0; tries < 1500 && !Exists(target_ + L"started.txt"); ++tries) {
            Sleep(20);
        }
        scriptAnswered = Exists(target_ + L"started.txt") && probe.Answers();
        WriteFileCreatingDirs(target_ + L"go.txt", "go");
    });
    Run();
    script.join();
    EXPECT_TRUE(scriptAnswered) << "answered while the script was held";
    EXPECT_EQ(ReadBytes(target_ + L"script.txt"), "held\r\n");
    const auto copying = std::find_if(waits.begin(), waits.end(), [](const Wait& wait) {
        return !wait.treesBefore && wait.treesAfter;
    });
    ASSERT_NE(copying, waits.end()) << "the trees are copied inside a wait";
    EXPECT_TRUE(copying->answered);
    EXPECT_TRUE(
        std::all_of(waits.begin(), waits.end(), [](const Wait& wait) { return wait.answered; }));
}

// The name as the file system stores it: Wine finds a file whatever the
// letter case asked for, so only the stored name shows a wrong case.
std::wstring StoredName(const std::wstring& path) {
    WIN32_FIND_DATAW entry{};
    const UniqueFindHandle search(FindFirstFileW(path.c_str(), &entry));
    return search ? entry.cFileName : L"<missing>";
}

TEST_F(InstallRunTest, CopiedFilesKeepTheLetterCaseOfTheirGroups) {
    for (const int windowsIndex : {0, 1}) {
        SCOPED_TRACE(windowsIndex);
        const std::wstring target = work_.path() + L"Fresh" + std::to_wstring(windowsIndex) + L"\\";
        CreateDirectoryW(target.c_str(), nullptr);
        CreateDirectoryW((target + L"Settings").c_str(), nullptr);
        host_ = FakeHost{};
        host_.path = target;
        host_.windowsIndex = windowsIndex;
        Run();
        for (const MediumLayout::FileGroup* group :
             {&MediumLayout::Group1Database, &MediumLayout::FirebirdGroupFor(windowsIndex),
              &MediumLayout::Group3CharacterSets, &MediumLayout::Group4StandardUdf,
              &MediumLayout::Group5InHouseUdf}) {
            for (const std::wstring_view name : group->files) {
                EXPECT_EQ(StoredName(target + std::wstring(group->targetDir) + std::wstring(name)),
                          name);
            }
        }
    }
}

TEST_F(InstallRunTest, DriverStepFollowsTheBoxAndTheAnswer) {
    struct Case {
        bool checked;
        TModalResult answer;
        bool runs;
    };
    for (const Case c :
         {Case{false, TModalResult::mrYes, false}, Case{true, TModalResult::mrNo, false},
          Case{true, TModalResult::mrYes, true}}) {
        SCOPED_TRACE(c.checked);
        host_ = FakeHost{};
        host_.path = target_;
        host_.driverChecked = c.checked;
        dialogs_ = ScriptedDialogs{};
        dialogs_.Answer(L"Подключите", c.answer);
        const std::wstring marker = target_ + L"FTDIDriverInstall\\driver-installed.txt";
        DeleteFileW(marker.c_str());
        Run();
        // The stand-in's own marker says whether it ran, and which copy: the
        // log line alone is written by the run.
        ASSERT_EQ(Exists(marker), c.runs);
        if (c.runs) {
            EXPECT_THAT(ReadBytes(marker),
                        HasSubstr("program=" + Utf8(target_) +
                                  "FTDIDriverInstall\\FTDIDriverInstall.exe\r\n"));
        }
        const bool asked = std::any_of(dialogs_.asked.begin(), dialogs_.asked.end(), [](auto& m) {
            return m.text == L"Подключите интерфейсный блок и нажмите \"Yes\"?";
        });
        EXPECT_EQ(asked, c.checked);
        EXPECT_EQ(std::count(host_.log.lines.begin(), host_.log.lines.end(),
                             L"Установка драйверов устройства завершена"),
                  c.runs ? 1 : 0);
    }
}

TEST_F(InstallRunTest, DriverInstallerThatCannotStartIsReportedAsNotDone) {
    testfiles::RemoveTree(medium_ / L"FTDIDriverInstall");
    Run();
    const std::wstring prefix = L"Установка драйверов устройства не выполнена: ";
    const auto line = std::find_if(host_.log.lines.begin(), host_.log.lines.end(),
                                   [&](auto& text) { return text.rfind(prefix, 0) == 0; });
    ASSERT_NE(line, host_.log.lines.end());
    EXPECT_GT(line->size(), prefix.size()) << "followed by the system's error text";
    EXPECT_THAT(host_.log.lines, Not(Contains(L"Установка драйверов устройства завершена")));
    EXPECT_TRUE(host_.exitEnabled) << "the run goes on";
}

TEST_F(InstallRunTest, SmallFontsEndOnTheFontSizePageWithoutTheQuestion) {
    system_.logPixels = 96;
    Run();
    EXPECT_EQ(host_.pages.back(), TWizardPage::tsChangeFontSize);
    EXPECT_THAT(dialogs_.asked.back().text, Not(HasSubstr(L"Установка завершена")));
    EXPECT_TRUE(host_.exitEnabled);
}

TEST_F(InstallRunTest, YesToTheClosingQuestionClosesTheWindow) {
    dialogs_.Answer(L"Установка завершена", TModalResult::mrYes);
    Run();
    EXPECT_EQ(host_.closeRequests, 1);
}

TEST_F(InstallRunTest, SisterBrandWritesBtoothIni) {
    host_.sisterBrand = true;
    Run();
    EXPECT_EQ(ReadBytes(target_ + L"btooth.ini"), "[Common]\r\nDisk=I\r\n\r\n");
}

TEST_F(InstallRunTest, FailedDatabaseUpdateLeavesNoShortcutAndExitDisabled) {
    testfiles::RemoveTree(medium_ / L"backup");
    EXPECT_EQ(RunExpectingError(), L"List index out of bounds (0)");
    EXPECT_FALSE(Exists(DesktopLink()));
    EXPECT_FALSE(host_.exitEnabled);
    EXPECT_TRUE(host_.canClose);
}

// The entry in the installed programs' list, in the machine's 64-bit view.
std::optional<std::wstring> EntryLocation() {
    base::UniqueRegKey key;
    wchar_t text[1024] = {};
    DWORD size = sizeof(text);
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                      L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VestarHolter", 0,
                      KEY_QUERY_VALUE | KEY_WOW64_64KEY, key.put()) != ERROR_SUCCESS ||
        RegGetValueW(key.get(), nullptr, L"InstallLocation", RRF_RT_REG_SZ, nullptr, text, &size) !=
            ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::wstring(text);
}

TEST_F(InstallRunTest, OnlyAFinishedRunRegistersTheInstallation) {
    const wchar_t* const key =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VestarHolter";
    const std::wstring earlier = L"C:\\An earlier installation\\";
    ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, key, L"InstallLocation", REG_SZ, earlier.c_str(),
                              static_cast<DWORD>((earlier.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    // A stopped run, then an abandoned one.
    WriteFileCreatingDirs(target_ + L"DTAfb", "a file where the directory belongs");
    Run();
    DeleteFileW((target_ + L"DTAfb").c_str());
    host_ = FakeHost{};
    host_.path = target_;
    testfiles::RemoveTree(medium_ / L"backup");
    EXPECT_EQ(RunExpectingError(), L"List index out of bounds (0)");
    EXPECT_EQ(EntryLocation(), earlier);
    EXPECT_FALSE(Exists(target_ + L"Uninstall.exe"));
    EXPECT_FALSE(Exists(target_ + L"InstalledFiles.txt"));

    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, key, KEY_WOW64_64KEY, 0);
}

TEST_F(InstallRunTest, ReinstallKeepsTheClinicsDataAndTheOldDatabase) {
    Run();
    const std::string uca = ReadBytes(target_ + L"Settings\\uca.nsi");
    const std::string lastnum = ReadBytes(target_ + L"Settings\\lastnum.dta");
    WriteFileCreatingDirs(target_ + L"Settings\\uca.nsi",
                          uca.substr(0, 14) + "clinic entries" + uca.substr(28));
    WriteFileCreatingDirs(
        target_ + L"Settings\\holter.ini",
        "[OPTIONS]\r\nfiltertype = 3\r\nNurseMode=0\r\n\r\n[Printer]\r\nName=Laser\r\n\r\n");
    WriteFileCreatingDirs(target_ + L"DTAfb\\QZ7.FDB", "the clinic's patients\r\n");
    const std::string ucaBefore = ReadBytes(target_ + L"Settings\\uca.nsi");

    host_ = FakeHost{};
    host_.path = target_;
    Run();

    EXPECT_EQ(ReadBytes(target_ + L"Settings\\uca.nsi"), ucaBefore);
    EXPECT_EQ(ReadBytes(target_ + L"Settings\\lastnum.dta"), lastnum);
    EXPECT_EQ(ReadBytes(target_ + L"Settings\\holter.ini"),
              "[OPTIONS]\r\nFilterType=0\r\nNurseMode=0\r\nHardwareType=1\r\n\r\n"
              "[Printer]\r\nName=Laser\r\n\r\n");
    EXPECT_EQ(ReadBytes(target_ + L"DTAfb\\QZ7.FDB"), "medium database\r\n");

    const auto kept = std::find_if(host_.log.lines.begin(), host_.log.lines.end(), [](auto& line) {
        return line.rfind(L"Прежняя база данных сохранена: QZ7.FDB.", 0) == 0;
    });
    ASSERT_NE(kept, host_.log.lines.end());
    EXPECT_EQ(*(kept - 1), L"Копирование файла QZ7.FDB....Завершено")
        << "the old database is kept only once its replacement is in place";
    const std::wstring keptName = kept->substr(kept->find(L"QZ7"));
    EXPECT_EQ(keptName.size(), std::wstring(L"QZ7.FDB.20261210-121314.bak").size());
    EXPECT_EQ(ReadBytes(target_ + L"DTAfb\\" + keptName), "the clinic's patients\r\n");

    // A third run within the same second keeps both earlier databases.
    WriteFileCreatingDirs(target_ + L"DTAfb\\QZ7.FDB", "more patients\r\n");
    host_ = FakeHost{};
    host_.path = target_;
    Run();
    EXPECT_EQ(ReadBytes(target_ + L"DTAfb\\" + keptName), "the clinic's patients\r\n");
    const auto names = testfiles::Names(target_ + L"DTAfb");
    EXPECT_EQ(std::count_if(names.begin(), names.end(),
                            [](const std::wstring& name) { return name.ends_with(L".bak"); }),
              2);
}

// Answers the question about files in use with "Повтор" once, after
// `beforeRetry` (the other program letting go); everything else as scripted.
class RetryingDialogs : public ScriptedDialogs {
  public:
    TModalResult MessageDlg(const std::wstring& text, TMsgDlgType type,
                            TMsgDlgButtons buttons) override {
        const TModalResult scripted = ScriptedDialogs::MessageDlg(text, type, buttons);
        if (buttons != TMsgDlgButtons::mbRetryCancel || !beforeRetry) {
            return scripted;
        }
        beforeRetry();
        beforeRetry = nullptr;
        return TModalResult::mrRetry;
    }
    std::function<void()> beforeRetry;
};

// A file the run would replace, held open by another handle as a running
// server holds it: before anything is written the run names it and asks;
// "Отмена" leaves everything as it was, "Повтор" checks again.
TEST_F(InstallRunTest, FilesInUseAreNamedBeforeAnythingIsWrittenAndRetryChecksAgain) {
    Run();
    const std::wstring database = target_ + L"DTAfb\\QZ7.FDB";
    const std::wstring runtime = target_ + L"fbclient.Dll";
    WriteFileCreatingDirs(database, "the clinic's patients\r\n");
    const std::string settings = ReadBytes(target_ + L"Settings\\holter.ini");
    std::vector<UniqueHandle> held;
    for (const std::wstring& path : {database, runtime}) {
        held.emplace_back(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held.back());
    }
    RetryingDialogs dialogs;
    dialogs.Answer(L"Подключите", TModalResult::mrYes);
    const auto run = [&] {
        host_ = FakeHost{};
        host_.path = target_;
        return RunInstall(
            InstallEnvironment{host_, dialogs, system_, GetModuleHandleW(nullptr), medium_.path()});
    };

    // "Отмена" (the scripted answer): nothing written, the files named.
    EXPECT_EQ(run(), TRunEnd::Refused);
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].buttons, TMsgDlgButtons::mbRetryCancel);
    for (const std::wstring& path : {database, runtime}) {
        EXPECT_THAT(dialogs.asked[0].text, HasSubstr(path));
        // The path, then who holds it or why it cannot be opened.
        EXPECT_THAT(host_.log.lines, Contains(StartsWith(L"  " + path + L" — ")));
        EXPECT_THAT(host_.log.lines, Not(Contains(L"  " + path + L" — ")));
    }
    EXPECT_THAT(CopyLines(), ::testing::IsEmpty());
    EXPECT_TRUE(host_.canCloseHistory.empty()) << "the guarded stretch was entered";
    EXPECT_TRUE(host_.exitEnabled);
    EXPECT_EQ(ReadBytes(database), "the clinic's patients\r\n");
    EXPECT_EQ(ReadBytes(target_ + L"Settings\\holter.ini"), settings);
    EXPECT_EQ(testfiles::Names(target_ + L"DTAfb"), std::vector<std::wstring>{L"QZ7.FDB"});

    // "Повтор" once the files are free: the run goes through.
    dialogs.asked.clear();
    dialogs.beforeRetry = [&] { held.clear(); };
    EXPECT_EQ(run(), TRunEnd::Finished);
    ASSERT_FALSE(dialogs.asked.empty());
    EXPECT_EQ(dialogs.asked[0].buttons, TMsgDlgButtons::mbRetryCancel);
    EXPECT_EQ(ReadBytes(database), "medium database\r\n");
    EXPECT_THAT(host_.log.lines, Contains(StartsWith(L"Прежняя база данных сохранена: QZ7.FDB.")));
}

// The files a reinstall replaces: the groups' files of the chosen runtime,
// the trees' files that are already there, the driver directory's only when
// the driver step copies it, and the uninstaller.
TEST_F(InstallRunTest, TheCheckLooksAtEveryFileTheRunWillReplace) {
    Run();
    WriteFileCreatingDirs(target_ + L"Uninstall.exe", "earlier uninstaller");
    const auto replaced = [&](int windowsIndex, bool withDriver) {
        return install::FilesTheRunReplaces(
            install::TRunFiles{medium_.path(), target_, windowsIndex, withDriver});
    };
    const std::vector<std::wstring> all = replaced(0, true);
    for (const wchar_t* file :
         {L"DTAfb\\QZ7.FDB", L"fbclient.Dll", L"gds32.dll", L"intl\\fbintl.dll", L"udf\\ib_udf.sql",
          L"udf\\Maple.Dll", L"ReleaseInfo", L"Updater.exe.cfg", L"backup\\r010115\\Install.cmd",
          L"FTDIDriverInstall\\FTDIDriverInstall.exe", L"Uninstall.exe"}) {
        EXPECT_THAT(all, Contains(target_ + file)) << Utf8(file);
    }
    EXPECT_THAT(all, Not(Contains(target_ + L"Settings\\holter.ini")));
    EXPECT_THAT(replaced(0, false),
                Not(Contains(target_ + L"FTDIDriverInstall\\FTDIDriverInstall.exe")));
    // The older runtime's own libraries were never installed here.
    EXPECT_THAT(replaced(1, true), Not(Contains(HasSubstr(L"gds32.dll"))));
}

TEST(RoomShortageText, RoundsTheNeedUpAndTheFreeRoomDown) {
    constexpr std::uint64_t MiB = 1 << 20;
    const struct {
        std::uint64_t needed;
        std::uint64_t free;
        const wchar_t* text;
    } rows[] = {
        {17 * MiB, 8 * MiB, L"Недостаточно места на диске T:\\: нужно 17 МБ, свободно 8 МБ."},
        {16 * MiB + 1, 9 * MiB - 1,
         L"Недостаточно места на диске T:\\: нужно 17 МБ, свободно 8 МБ."},
        {5000 * MiB, 0, L"Недостаточно места на диске T:\\: нужно 5000 МБ, свободно 0 МБ."},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(install::RoomShortageText({L"T:\\", row.needed, row.free}), row.text);
    }
}

// A run nobody answers: no box ever, the driver step only when asked for,
// the font size only reported, no restart and no close request.
TEST_F(InstallRunTest, UnattendedRunAsksNothingAndReportsInTheLog) {
    struct Case {
        bool runDriver;
        int logPixels;
        const wchar_t* driverLine;
        const wchar_t* fontLine;
    };
    for (const Case c :
         {Case{false, 96, L"Установка драйверов устройства пропущена (нет параметра /DRIVER)",
               L"Размер шрифта экрана: мелкий. Для работы комплекса \"Вестар\" нужен крупный "
               L"(120 точек на дюйм); он не изменён."},
          Case{true, 120, L"Установка драйверов устройства завершена",
               L"Размер шрифта экрана: крупный."}}) {
        SCOPED_TRACE(c.runDriver);
        host_ = FakeHost{};
        host_.path = target_;
        host_.driverChecked = false; // the check box plays no part
        dialogs_ = ScriptedDialogs{};
        system_.logPixels = c.logPixels;
        DeleteFileW((target_ + L"FTDIDriverInstall\\driver-installed.txt").c_str());
        EXPECT_EQ(RunInstall(InstallEnvironment{host_, dialogs_, system_, GetModuleHandleW(nullptr),
                                                medium_.path(), TUnattended{c.runDriver}}),
                  TRunEnd::Finished);
        EXPECT_TRUE(dialogs_.asked.empty());
        EXPECT_THAT(host_.log.lines, Contains(c.driverLine));
        EXPECT_EQ(host_.log.lines.back(), c.fontLine);
        EXPECT_EQ(Exists(target_ + L"FTDIDriverInstall\\driver-installed.txt"), c.runDriver);
        EXPECT_THAT(host_.pages, ElementsAre(TWizardPage::tsProgressInstall));
        EXPECT_EQ(host_.closeRequests, 0);
        EXPECT_EQ(system_.largeFontRequests, 0);
        EXPECT_TRUE(system_.shutdownFlags.empty());
    }

    // A target it cannot create: logged, no box, the run stopped.
    host_ = FakeHost{};
    host_.path = work_.path() + L"missing\\Holter\\";
    EXPECT_EQ(RunInstall(InstallEnvironment{host_, dialogs_, system_, GetModuleHandleW(nullptr),
                                            medium_.path(), TUnattended{}}),
              TRunEnd::Stopped);
    EXPECT_TRUE(dialogs_.asked.empty());
    EXPECT_THAT(host_.log.lines, ElementsAre(L"Ошибка при создании каталога!"));
}

class LoggedRunTest : public InstallRunTest {
  protected:
    // The logged run's exit code, or -1 when it raised (its text in error_).
    int RunLogged(bool unattended, bool runDriver = false) {
        try {
            return RunInstallLogged(
                InstallEnvironment{
                    host_, dialogs_, system_, GetModuleHandleW(nullptr), medium_.path(),
                    unattended ? std::optional(TUnattended{runDriver}) : std::nullopt},
                TLogTargets{L"/VERYSILENT", logFile_});
        } catch (const AppError& error) {
            error_ = error.text();
            return -1;
        }
    }

    std::wstring logFile_ = work_.path() + L"run.log";
    std::wstring error_;
};

TEST_F(LoggedRunTest, BothLogsHoldEveryLineAsItFinallyStandsAndRunsAppend) {
    EXPECT_EQ(RunLogged(false), 0);
    const std::string first = ReadBytes(target_ + L"Install.log");
    EXPECT_EQ(ReadBytes(logFile_), first);
    ASSERT_EQ(first.rfind("\xEF\xBB\xBF==== ", 0), 0u);
    EXPECT_THAT(first,
                HasSubstr(Utf8(L"\r\nНоситель: " + medium_.path() + L"\r\nКаталог установки: " +
                               target_ + L"\r\nПараметры: /VERYSILENT\r\n")));
    EXPECT_THAT(first, HasSubstr(Utf8(L"Версия программы установки: 1.0.0.0\r\n")));
    // Each line once, after its stamp, completed; only CR LF line ends.
    for (const std::wstring& line : host_.log.lines) {
        EXPECT_THAT(first, HasSubstr(Utf8(L"  " + line + L"\r\n")));
    }
    EXPECT_THAT(first, HasSubstr(Utf8(L"  Копирование файла QZ7.FDB....Завершено\r\n")));
    EXPECT_EQ(std::count(first.begin(), first.end(), '\n'),
              std::count(first.begin(), first.end(), '\r'));

    // A second run over it: the first block kept, no second byte-order mark;
    // the /LOG file holds only the latest run.
    EXPECT_EQ(RunLogged(false), 0);
    const std::string both = ReadBytes(target_ + L"Install.log");
    EXPECT_EQ(both.rfind(first, 0), 0u);
    EXPECT_EQ(both.find("\xEF\xBB\xBF", 1), std::string::npos);
    EXPECT_EQ(ReadBytes(logFile_), "\xEF\xBB\xBF" + both.substr(first.size()));
}

TEST_F(LoggedRunTest, ExitCodesFollowHowTheRunEnded) {
    // A failed in-house library: the run finishes; only a run nobody
    // watches says so in its exit code.
    for (const bool unattended : {false, true}) {
        FailingOnContent disk(ContentOf(L"Birch.Dll"));
        ScopedBlockWriter failing(disk);
        EXPECT_EQ(RunLogged(unattended), unattended ? 3 : 0);
    }
    EXPECT_THAT(ReadBytes(logFile_), HasSubstr(Utf8(L"Код завершения: 3\r\n")));

    // A failed runtime file stops the run.
    {
        FailingOnContent disk(ContentOf(L"gds32.dll"));
        ScopedBlockWriter failing(disk);
        EXPECT_EQ(RunLogged(false), 2);
    }

    // A raised error: logged with the error report's text, then passed on.
    // (A run nobody answers makes a missing Settings\ itself, as the path
    // page does.)
    testfiles::RemoveTree(target_ + L"Settings");
    EXPECT_EQ(RunLogged(false), -1);
    EXPECT_THAT(ReadBytes(target_ + L"Install.log"),
                HasSubstr(Utf8(L"Установка прервана ошибкой:\r\n" + WithFullStop(error_) +
                               L"\r\nКод завершения: 2\r\n")));
}

// Why a step failed reaches the log on disk: after a failed step's line, the
// system's text for the error the copy (or the directory's creation) handed
// back; a raised error's text names it in the error report. The window's
// lines stay as they are.
TEST_F(LoggedRunTest, TheSystemsTextForEveryFailureReachesTheLogOnDisk) {
    ASSERT_EQ(RunLogged(false), 0); // an earlier installation, whose files can be held
    const std::wstring diskFull = SysErrorMessage(ERROR_DISK_FULL);
    const std::wstring sharing = SysErrorMessage(ERROR_SHARING_VIOLATION);
    const std::wstring noPath = SysErrorMessage(ERROR_PATH_NOT_FOUND);
    ASSERT_FALSE(diskFull.empty() || sharing.empty() || noPath.empty());
    const std::wstring heldFile = target_ + L"fbclient.Dll";
    const struct {
        const char* name;
        std::wstring target;
        std::wstring fullDiskContent; // of this medium file; empty: none
        std::wstring held;            // a target file held open; empty: none
        int exitCode;
        std::wstring shown;  // a line the window shows as it is
        std::wstring onDisk; // what the log on disk holds
    } rows[] = {
        {"full disk", target_, L"Birch.Dll", L"", 3, L"Копирование файла Birch.Dll....ОШИБКА!!!",
         L"  Копирование файла Birch.Dll....ОШИБКА!!! (" + diskFull + L")\r\n"},
        {"sharing violation", target_, L"", heldFile, 4, L"  " + heldFile + L" — " + sharing,
         L"  " + heldFile + L" — " + sharing + L"\r\n"},
        {"missing parent", work_.path() + L"missing\\Holter\\", L"", L"", 2,
         L"Ошибка при создании каталога!",
         L"  Ошибка при создании каталога! (" + noPath + L")\r\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        host_ = FakeHost{};
        host_.path = row.target;
        std::optional<FailingOnContent> disk;
        std::optional<ScopedBlockWriter> failing;
        if (!row.fullDiskContent.empty()) {
            disk.emplace(ContentOf(row.fullDiskContent));
            failing.emplace(*disk);
        }
        std::optional<testfiles::FileLock> lock;
        if (!row.held.empty()) {
            lock.emplace(row.held);
            ASSERT_TRUE(lock->locked());
        }
        EXPECT_EQ(RunLogged(true), row.exitCode);
        EXPECT_THAT(host_.log.lines, Contains(row.shown));
        EXPECT_THAT(ReadBytes(logFile_), HasSubstr(Utf8(row.onDisk)));
    }
}

// A driver installer that could not be started is a failed step too.
TEST_F(LoggedRunTest, ADriverInstallerThatCannotStartFinishesWithThree) {
    testfiles::RemoveTree(medium_ / L"FTDIDriverInstall");
    EXPECT_EQ(RunLogged(true, true), 3);
    EXPECT_THAT(ReadBytes(logFile_), HasSubstr(Utf8(L"  " + std::wstring(kDriverNotDone))));
}

TEST_F(LoggedRunTest, ALogThatCannotBeWrittenIsReportedOnceAndStopsNothing) {
    // Install.log is a directory: it cannot be written, the run goes on.
    CreateDirectoryW((target_ + L"Install.log").c_str(), nullptr);
    EXPECT_EQ(RunLogged(false), 0);
    const auto reports =
        std::count_if(host_.log.lines.begin(), host_.log.lines.end(), [](const std::wstring& line) {
            return line.rfind(L"Журнал установки не записан", 0) == 0;
        });
    EXPECT_EQ(reports, 1);
    EXPECT_THAT(ReadBytes(logFile_), HasSubstr(Utf8(L"  Журнал установки не записан в \"" +
                                                    target_ + L"Install.log\"")));
    EXPECT_THAT(ReadBytes(target_ + L"ReleaseInfo"), HasSubstr("<Level>010115</Level>"));
}

} // namespace
