// The fault matrix: the real install run (or the step concerned) under one
// fault at a time, over an earlier installation where there is one. Each
// row checks the outcome and that every file that existed before is still
// there byte for byte (the database also when kept as its dated ".bak"),
// with no temporary file left anywhere in the target.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

#include "FakeHost.h"
#include "SmallMedium.h"
#include "common/PollUntil.h"
#include "common/TestFiles.h"
#include "files/FileReplace.h"
#include "install/InstallRun.h"
#include "base/AppError.h"
#include "base/Handles.h"

using base::UniqueHandle;
using files::IBlockWriter;
using files::IsInstallerTempName;
using files::ScopedBlockWriter;
using ui::TModalResult;

using namespace smallmedium;
using testfiles::Attributes;
using testfiles::Exists;
using testfiles::OwnDirectory;
using testfiles::ReadBytes;
using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace {

const std::wstring kDatabase = L"DTAfb\\QZ7.FDB";
// Written by the driver installer's stand-in at every run, with the
// directory it ran in.
const std::wstring kDriverMarker = L"FTDIDriverInstall\\driver-installed.txt";
const wchar_t kHeldEvent[] = L"vestar-faultmatrix-held";

// Relative path to content of every file below `root` (ending in a backslash).
using Tree = std::map<std::wstring, std::string>;

void AddFiles(const std::wstring& root, const std::wstring& relative, Tree& tree) {
    for (const std::wstring& name : testfiles::Names(root + relative)) {
        const std::wstring path = relative + name;
        if ((Attributes(root + path) & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            AddFiles(root, path + L"\\", tree);
        } else {
            tree[path] = ReadBytes(root + path);
        }
    }
}

Tree Snapshot(const std::wstring& root) {
    Tree tree;
    AddFiles(root, L"", tree);
    return tree;
}

// Every file of `before` is in `after` with the same bytes; the database may
// instead be kept as one of the dated backups beside it.
void ExpectKept(const Tree& before, const Tree& after) {
    for (const auto& [path, bytes] : before) {
        if (path == kDriverMarker) {
            continue;
        }
        const auto same = after.find(path);
        if (same != after.end() && same->second == bytes) {
            continue;
        }
        const bool keptAsBackup =
            path == kDatabase && std::any_of(after.begin(), after.end(), [&](const auto& entry) {
                return entry.first.starts_with(kDatabase + L".") &&
                       entry.first.ends_with(L".bak") && entry.second == bytes;
            });
        EXPECT_TRUE(keptAsBackup) << testfiles::Utf8(path) << " is lost or changed";
    }
    for (const auto& entry : after) {
        const std::wstring name = entry.first.substr(entry.first.find_last_of(L'\\') + 1);
        EXPECT_FALSE(IsInstallerTempName(name))
            << testfiles::Utf8(entry.first) << " was left behind";
    }
}

// The fault matrix's second process, ended by the test.
class Child {
  public:
    explicit Child(const std::wstring& arguments) {
        std::wstring line = L"\"" + OwnDirectory() + L"faultmatrix_child.exe\" " + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info{};
        if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &startup, &info)) {
            process_.reset(info.hProcess);
            CloseHandle(info.hThread);
        }
    }
    ~Child() { End(); }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool started() const { return static_cast<bool>(process_); }
    bool Running() const { return WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }
    void End() {
        if (process_) {
            TerminateProcess(process_.get(), 1);
            WaitForSingleObject(process_.get(), INFINITE);
            process_.reset();
        }
    }

  private:
    UniqueHandle process_;
};

// A path as one argument: a final backslash doubled so that it does not
// escape the closing quotation mark.
std::wstring Quoted(const std::wstring& path) {
    return L"\"" + path + (path.ends_with(L'\\') ? L"\\\"" : L"\"");
}

class FaultMatrix : public InstallFixture {
  protected:
    // A target with its Settings\ directory, as the path page leaves it.
    void UseTarget(const std::wstring& target) {
        target_ = target;
        CreateDirectoryW(target_.c_str(), nullptr);
        CreateDirectoryW((target_ + L"Settings").c_str(), nullptr);
    }

    // The run from the medium; its error text, or empty.
    std::wstring Run() {
        host_ = FakeHost{};
        host_.path = target_;
        host_.driverChecked = driverStep_;
        dialogs_ = ScriptedDialogs{};
        dialogs_.Answer(L"Подключите", TModalResult::mrYes);
        return RunExpectingError();
    }

    // A complete earlier installation whose database holds the clinic's
    // patients; its files are the "before" of the row.
    void InstallEarlier() {
        ASSERT_EQ(Run(), L"");
        ASSERT_TRUE(testfiles::WriteBytes(target_ + kDatabase, "the clinic's patients\r\n"));
        before_ = Snapshot(target_);
    }

    void ExpectEverythingKept() const { ExpectKept(before_, Snapshot(target_)); }

    Tree before_;
    bool driverStep_ = true;
};

// A disk that holds `capacity` bytes per file: the copy of a larger file
// fails with the full-disk error once it is sized.
class SmallDisk final : public IBlockWriter {
  public:
    explicit SmallDisk(LONGLONG capacity) : capacity_(capacity) {}
    base::SysResult WriteBlock(HANDLE file, const void* data, DWORD size) override {
        LARGE_INTEGER reserved{};
        if (GetFileSizeEx(file, &reserved) && reserved.QuadPart > capacity_) {
            return base::SysResult::Failed(ERROR_DISK_FULL);
        }
        DWORD written = 0;
        return WriteFile(file, data, size, &written, nullptr) && written == size
                   ? base::SysResult()
                   : base::SysResult::LastError();
    }

  private:
    LONGLONG capacity_;
};

TEST_F(FaultMatrix, DiskFullDuringACopyKeepsTheEarlierFiles) {
    const struct {
        const wchar_t* mediumFile;
        const wchar_t* failedLine;
        bool runGoesOn;
    } rows[] = {
        {L"DTAfb\\QZ7.FDB", L"Копирование файла QZ7.FDB....ОШИБКА!!!", false},
        {L"UDF\\Birch.Dll", L"Копирование файла Birch.Dll....ОШИБКА!!!", true},
    };
    InstallEarlier();
    for (const auto& row : rows) {
        SCOPED_TRACE(testfiles::Utf8(row.mediumFile));
        const std::string big(3 * 1024 * 1024, 'B');
        ASSERT_TRUE(testfiles::WriteBytes(medium_ / row.mediumFile, big));
        {
            SmallDisk disk(1024 * 1024);
            const ScopedBlockWriter full(disk);
            EXPECT_EQ(Run(), L"");
        }
        EXPECT_THAT(host_.log.lines, ::testing::Contains(row.failedLine));
        EXPECT_EQ(host_.exitEnabled, row.runGoesOn);
        if (!row.runGoesOn) {
            EXPECT_EQ(testfiles::Names(target_ + L"DTAfb"), std::vector<std::wstring>{L"QZ7.FDB"})
                << "the clinic's database at its name, no backup, no temporary file";
        }
        ExpectEverythingKept();
        BuildMedium(medium_.path());
    }
}

// A real drive too small for a reinstall (small-drive.sh gives a small
// one to Wine as a drive letter, where the machine allows it): the check
// before the run refuses it with the room it needs, and nothing is written.
TEST_F(FaultMatrix, DriveTooSmallForAReinstallRefusesItOnARealSmallDrive) {
    wchar_t letter[8] = {};
    if (GetEnvironmentVariableW(L"VESTAR_SMALL_DRIVE", letter, 8) == 0) {
        GTEST_SKIP() << "no small drive here";
    }
    UseTarget(std::wstring(letter) + L"Holter\\");
    InstallEarlier();
    ASSERT_TRUE(testfiles::WriteBytes(target_ + kDatabase, std::string(3 << 20, 'C')));
    before_ = Snapshot(target_);
    for (const wchar_t* mediumFile : {L"DTAfb\\QZ7.FDB", L"UDF\\Birch.Dll"}) {
        SCOPED_TRACE(testfiles::Utf8(mediumFile));
        BuildMedium(medium_.path());
        ASSERT_TRUE(testfiles::WriteBytes(medium_ / mediumFile, std::string(6 << 20, 'N')));
        EXPECT_EQ(Run(), L"");
        EXPECT_THAT(host_.log.lines,
                    ::testing::Contains(StartsWith(L"Недостаточно места на диске " +
                                                   std::wstring(letter) + L": нужно ")));
        ASSERT_FALSE(dialogs_.asked.empty());
        EXPECT_THAT(dialogs_.asked[0].text, StartsWith(L"Недостаточно места на диске "));
        EXPECT_TRUE(host_.canCloseHistory.empty()) << "the guarded stretch was entered";
        EXPECT_EQ(Snapshot(target_), before_);
    }
}

// A file held open by another process (as the suite's running server holds
// its libraries and database): the reinstall is refused before it writes
// anything, with the file named.
TEST_F(FaultMatrix, FileHeldOpenByAnotherProcessRefusesTheRunWithNothingChanged) {
    InstallEarlier();
    for (const std::wstring& held : {kDatabase, std::wstring(L"fbclient.Dll")}) {
        SCOPED_TRACE(testfiles::Utf8(held));
        const UniqueHandle heldSignal(CreateEventW(nullptr, TRUE, FALSE, kHeldEvent));
        Child holder(L"hold " + Quoted(target_ + held) + L" " + kHeldEvent);
        ASSERT_TRUE(holder.started());
        ASSERT_EQ(WaitForSingleObject(heldSignal.get(), 20000), WAIT_OBJECT_0);
        EXPECT_EQ(Run(), L"");
        holder.End();
        EXPECT_THAT(host_.log.lines, ::testing::Contains(HasSubstr(target_ + held)));
        EXPECT_TRUE(host_.canCloseHistory.empty()) << "the guarded stretch was entered";
        EXPECT_EQ(Snapshot(target_), before_);
    }
}

TEST_F(FaultMatrix, MediumWithoutAPartStopsBeforeTouchingTheInstallation) {
    const struct {
        const wchar_t* missing;
        const wchar_t* error; // start of the error; empty: the run completes
        bool databaseReplaced;
    } rows[] = {
        {L"DTAfb\\QZ7.FDB", L"Cannot open file", false},
        {L"Firebird\\icuuc30.Dll", L"Cannot open file", true},
        {L"FTDIDriverInstall", L"", true},
        {L"backup", L"", true},
        {L"Updater", L"", true},
        {L"fonts", L"", true},
    };
    InstallEarlier();
    for (const auto& row : rows) {
        SCOPED_TRACE(testfiles::Utf8(row.missing));
        testfiles::RemoveTree(medium_ / row.missing);
        const std::wstring error = Run();
        EXPECT_THAT(error, StartsWith(row.error));
        EXPECT_EQ(error.empty(), std::wstring(row.error).empty()) << testfiles::Utf8(error);
        EXPECT_EQ(ReadBytes(target_ + kDatabase),
                  row.databaseReplaced ? "medium database\r\n" : "the clinic's patients\r\n");
        ExpectEverythingKept();
        BuildMedium(medium_.path());
        before_ = Snapshot(target_);
    }
}

TEST_F(FaultMatrix, UnusableReleaseInfoIsReportedAndLeftAsItCame) {
    const struct {
        const char* name;
        std::string content;
        const wchar_t* cause; // empty: the level is written
    } rows[] = {
        {"empty", "", L"the document cannot be loaded"},
        {"not XML", "Version=1 Level=000000", L"the document cannot be loaded"},
        {"DOCTYPE",
         "<?xml version=\"1.0\"?>\r\n<!DOCTYPE ROOT [<!ENTITY lvl \"999999\">]>\r\n"
         "<ROOT><Version>1</Version><Level>&lvl;</Level></ROOT>",
         L"the document cannot be loaded"},
        {"external entity",
         "<?xml version=\"1.0\"?>\r\n<!DOCTYPE ROOT SYSTEM \"release.dtd\">\r\n"
         "<ROOT><Version>1</Version><Level>000000</Level></ROOT>",
         L"the document cannot be loaded"},
        {"no Level", "<ROOT><Version>1</Version></ROOT>", L"element Level not found"},
    };
    InstallEarlier();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(testfiles::WriteBytes(medium_ / L"Updater\\ReleaseInfo", row.content));
        EXPECT_THAT(Run(), StartsWith(std::wstring(L"Cannot get release information, error: ") +
                                      row.cause));
        EXPECT_EQ(ReadBytes(target_ + L"ReleaseInfo"), row.content);
        before_.erase(L"ReleaseInfo"); // the medium's copy replaces it, as the tree copy does
        ExpectEverythingKept();
        before_ = Snapshot(target_);
    }
}

TEST_F(FaultMatrix, BackupsWithoutAUsableDateRaiseOnAFreshTarget) {
    const struct {
        const wchar_t* backup;
        const wchar_t* error;
    } rows[] = {
        {L"r15ab13", L"'13ab15' is not a valid integer value"},
        {L"WithOutAnswer", L"List index out of bounds (0)"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testfiles::Utf8(row.backup));
        testfiles::RemoveTree(medium_ / L"backup");
        testfiles::RemoveTree(target_.substr(0, target_.size() - 1));
        UseTarget(target_);
        ASSERT_TRUE(WriteFileCreatingDirs(medium_ / L"backup\\" + row.backup + L"\\Install.cmd",
                                          "@echo off\r\necho ran>..\\..\\script.txt\r\n"));
        EXPECT_EQ(Run(), row.error);
        EXPECT_FALSE(Exists(target_ + L"script.txt"));
        EXPECT_EQ(ReadBytes(target_ + kDatabase), "medium database\r\n");
        EXPECT_FALSE(Exists(DesktopLink()));
    }
}

TEST_F(FaultMatrix, TargetPathsOfEveryShape) {
    const std::wstring longName(60, L'д');
    const struct {
        const char* name;
        std::wstring target;
    } rows[] = {
        {"blanks", work_.path() + L"Program Files\\Holter Вестар\\"},
        {"Cyrillic", work_.path() + L"Холтер\\"},
        {"trailing backslashes", work_.path() + L"Holter3\\\\\\"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::wstring parent = row.target.substr(0, row.target.find_last_not_of(L'\\'));
        parent = parent.substr(0, parent.rfind(L'\\'));
        CreateDirectoryW(parent.c_str(), nullptr);
        UseTarget(row.target);
        EXPECT_EQ(Run(), L"");
        EXPECT_EQ(ReadBytes(target_ + kDatabase), "medium database\r\n");
        EXPECT_THAT(ReadBytes(target_ + L"ReleaseInfo"), HasSubstr("<Level>010115</Level>"));
        EXPECT_EQ(ReadBytes(target_ + L"script.txt"), "new\r\n");
        InstallEarlier(); // and a reinstall over it keeps everything
        EXPECT_EQ(Run(), L"");
        ExpectEverythingKept();
        EXPECT_THAT(host_.log.lines,
                    ::testing::Contains(StartsWith(L"Прежняя база данных сохранена: QZ7.FDB.")));
    }
}

// Beyond 260 characters the files are copied, but the backup's script cannot
// be started there: the run says so and stops, and a reinstall loses
// nothing. (Wine's shell copy of the driver directory overflows its stack
// on such a path, so the driver step is left out here.)
TEST_F(FaultMatrix, TargetPathLongerThan260Characters) {
    const std::wstring longName(60, L'д');
    std::wstring target = work_.path();
    for (int level = 0; level < 4; ++level) {
        target += longName + L"\\";
        CreateDirectoryW(target.c_str(), nullptr);
    }
    ASSERT_GT(target.size(), 260u);
    UseTarget(target);
    driverStep_ = false;
    const std::wstring scriptError = L"не смог создать процесс: " + target_ + L"backup\\r010115\\";
    EXPECT_THAT(Run(), StartsWith(scriptError));
    EXPECT_EQ(ReadBytes(target_ + kDatabase), "medium database\r\n");
    ASSERT_TRUE(testfiles::WriteBytes(target_ + kDatabase, "the clinic's patients\r\n"));
    before_ = Snapshot(target_);
    EXPECT_THAT(Run(), StartsWith(scriptError));
    ExpectEverythingKept();
}

// Every file below `root` whose read-only attribute is set.
std::vector<std::wstring> ReadOnlyFiles(const std::wstring& root) {
    std::vector<std::wstring> readOnly;
    for (const auto& entry : Snapshot(root)) {
        if ((Attributes(root + entry.first) & FILE_ATTRIBUTE_READONLY) != 0) {
            readOnly.push_back(entry.first);
        }
    }
    return readOnly;
}

void MakeTreeReadOnly(const std::wstring& root) {
    for (const auto& entry : Snapshot(root)) {
        SetFileAttributesW((root + entry.first).c_str(), FILE_ATTRIBUTE_READONLY);
    }
}

// A CD: every file of the medium read-only. Nothing installed keeps the
// attribute, and the next release's medium replaces every tree file, also
// read-only ones an earlier installer left.
TEST_F(FaultMatrix, ReadOnlyMediumThenANewerOne) {
    WriteFileCreatingDirs(medium_ / L"Updater\\Lang\\ru.lng", "lang 1");
    MakeTreeReadOnly(medium_.path());
    ASSERT_EQ(Run(), L"");
    EXPECT_EQ(ReadOnlyFiles(target_), std::vector<std::wstring>{});

    // The trees as an installer that kept the medium's attribute left them.
    for (const wchar_t* tree : {L"backup", L"Lang", L"FTDIDriverInstall"}) {
        MakeTreeReadOnly(target_ + tree + L"\\");
    }
    for (const wchar_t* file : {L"ReleaseInfo", L"Updater.exe.cfg"}) {
        SetFileAttributesW((target_ + file).c_str(), FILE_ATTRIBUTE_READONLY);
    }
    testfiles::RemoveTree(medium_.path().substr(0, medium_.path().size() - 1));
    CreateDirectoryW(medium_.path().c_str(), nullptr);
    BuildMedium(medium_.path());
    WriteFileCreatingDirs(medium_ / L"Updater\\Lang\\ru.lng", "lang 2");
    WriteFileCreatingDirs(medium_ / L"Updater\\Updater.exe.cfg", "newer updater\r\n");
    WriteFileCreatingDirs(medium_ / L"backup\\r010115\\Install.cmd",
                          "@echo off\r\necho newer>..\\..\\script.txt\r\n");
    MakeTreeReadOnly(medium_.path());

    ASSERT_EQ(Run(), L"");
    EXPECT_EQ(ReadBytes(target_ + L"Lang\\ru.lng"), "lang 2");
    EXPECT_EQ(ReadBytes(target_ + L"Updater.exe.cfg"), "newer updater\r\n");
    EXPECT_EQ(ReadBytes(target_ + L"backup\\r010115\\Install.cmd"),
              "@echo off\r\necho newer>..\\..\\script.txt\r\n");
    EXPECT_EQ(ReadBytes(target_ + L"script.txt"), "newer\r\n");
    EXPECT_EQ(ReadOnlyFiles(target_), std::vector<std::wstring>{});
}

// The installer ended from outside in the middle of the database copy: the
// database is the clinic's or the medium's whole one, and the next run
// leaves no temporary file and the medium's database.
TEST_F(FaultMatrix, EndedDuringTheDatabaseCopyThenRunAgain) {
    InstallEarlier();
    const std::string database(8 * 1024 * 1024, 'M');
    ASSERT_TRUE(testfiles::WriteBytes(medium_ / kDatabase, database));
    const std::string clinic = ReadBytes(target_ + kDatabase);
    const auto tempsInDta = [&] {
        std::vector<std::wstring> temps = testfiles::Names(target_ + L"DTAfb");
        std::erase_if(temps, [](const std::wstring& name) { return !IsInstallerTempName(name); });
        return temps;
    };
    // Each block write of the child waits 400 ms: the copy of the two 4 MiB
    // blocks is ended before its first write, during it, and after it.
    for (const DWORD afterMs : {DWORD{0}, DWORD{150}, DWORD{600}}) {
        SCOPED_TRACE(afterMs);
        const std::vector<std::wstring> stale = tempsInDta();
        Child installer(L"install " + Quoted(medium_.path()) + L" " + Quoted(target_) + L" 400");
        ASSERT_TRUE(installer.started());
        const auto ownTempInDta = [&] {
            const auto temps = tempsInDta();
            return std::any_of(temps.begin(), temps.end(), [&](const std::wstring& name) {
                return std::find(stale.begin(), stale.end(), name) == stale.end();
            });
        };
        ASSERT_TRUE(testwait::PollUntil(ownTempInDta, std::chrono::seconds(20)));
        Sleep(afterMs);
        ASSERT_TRUE(installer.Running()) << "the copy ended before the installer was ended";
        installer.End();

        const std::string now = ReadBytes(target_ + kDatabase);
        EXPECT_TRUE(now == clinic || now == database) << "database is neither whole one";
        EXPECT_TRUE(ownTempInDta()) << "the ended run left its temporary file";
        EXPECT_EQ(tempsInDta().size(), 1u) << "an earlier run's file was removed";
    }
    ASSERT_EQ(Run(), L"");
    EXPECT_EQ(ReadBytes(target_ + kDatabase), database);
    ExpectEverythingKept();
}

} // namespace
