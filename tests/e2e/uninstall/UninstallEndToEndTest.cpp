// Install.exe /VERYSILENT on the demo medium, then the Uninstall.exe it
// placed: the entry in the list of installed programs (read with the
// registry's own calls), one entry after a reinstall, and an uninstall that
// removes what the installations placed and keeps the clinic's data.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include "WizardDriver.h"
#include "base/Handles.h"
#include "common/ShellLinks.h"
#include "common/ProgramRuns.h"
#include "common/TestFiles.h"

using base::UniqueHandle;
using base::UniqueRegKey;
using programruns::DemoMedium;
using programruns::Quoted;
using programruns::SnapshotTree;
using programruns::WaitWatchingWindows;
using programruns::WithoutLog;
using testfiles::Exists;
using testfiles::ReadBytes;
using testfiles::ScratchDir;
using testfiles::Utf8;
using testfiles::WriteFileCreatingDirs;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using namespace std::chrono_literals;

namespace {

const std::wstring kUninstallRoot = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const std::wstring kKey = kUninstallRoot + L"\\VestarHolter";

// The string table of this test program holds the installer's own.
std::wstring ResString(UINT id) {
    wchar_t text[512] = {};
    LoadStringW(GetModuleHandleW(nullptr), id, text, 512);
    return text;
}

struct Outcome {
    DWORD exitCode = 0xFFFFFFFF;
    std::set<std::wstring> windowTitles;
    // The target's files at the moment the process handle was signalled.
    std::map<std::wstring, std::string> treeAtEnd;
};

// Starts `program` with `arguments` in `directory`, watching its windows;
// the tree of `target` is read the moment the process has ended.
Outcome Start(const std::wstring& program, const std::wstring& arguments,
              const std::wstring& directory, const std::wstring& target) {
    std::wstring commandLine = Quoted(program) + L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    Outcome run;
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        directory.c_str(), &startup, &info)) {
        ADD_FAILURE() << "cannot start " << Utf8(program);
        return run;
    }
    CloseHandle(info.hThread);
    const UniqueHandle process(info.hProcess);
    if (!WaitWatchingWindows(process.get(), info.dwProcessId, run.windowTitles)) {
        ADD_FAILURE() << Utf8(program) << " did not end";
    }
    run.treeAtEnd = SnapshotTree(target);
    GetExitCodeProcess(process.get(), &run.exitCode);
    return run;
}

// A value of the entry in one hive (the machine's 64-bit view or the
// user's); nothing when the key or value is missing.
std::optional<std::wstring> StringValue(HKEY root, const std::wstring& key, const wchar_t* name) {
    UniqueRegKey opened;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, opened.put()) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    wchar_t text[2048] = {};
    DWORD size = sizeof(text);
    if (RegGetValueW(opened.get(), nullptr, name, RRF_RT_REG_SZ, nullptr, text, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::wstring(text);
}

std::optional<DWORD> DwordValue(HKEY root, const std::wstring& key, const wchar_t* name) {
    UniqueRegKey opened;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, opened.put()) !=
            ERROR_SUCCESS ||
        RegGetValueW(opened.get(), nullptr, name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
            ERROR_SUCCESS) {
        return std::nullopt;
    }
    return value;
}

// The entries of both hives whose InstallLocation is `location`.
int EntriesFor(const std::wstring& location) {
    int count = 0;
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        UniqueRegKey list;
        if (RegOpenKeyExW(root, kUninstallRoot.c_str(), 0, KEY_READ | KEY_WOW64_64KEY,
                          list.put()) != ERROR_SUCCESS) {
            continue;
        }
        wchar_t name[256];
        for (DWORD i = 0;; ++i) {
            DWORD length = 256;
            if (RegEnumKeyExW(list.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS) {
                break;
            }
            const auto found = StringValue(root, kUninstallRoot + L"\\" + name, L"InstallLocation");
            count += found && CompareStringOrdinal(found->c_str(), -1, location.c_str(), -1,
                                                   TRUE) == CSTR_EQUAL;
        }
    }
    return count;
}

void DeleteEntries() {
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kKey.c_str(), KEY_WOW64_64KEY, 0);
    RegDeleteKeyW(HKEY_CURRENT_USER, kKey.c_str());
}

// An entry of the same installation in the user's list, as a run by a user
// without the machine's rights would have left it.
void PlantUserEntry(const std::wstring& location) {
    UniqueRegKey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key.get(), L"InstallLocation", 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(location.c_str()),
                   static_cast<DWORD>((location.size() + 1) * sizeof(wchar_t)));
}

std::vector<std::wstring> RecordLines(const std::wstring& target) {
    const std::string bytes = ReadBytes(target + L"InstalledFiles.txt");
    std::wstring text(bytes.size(), L'\0');
    text.resize(MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()),
                                    text.data(), static_cast<int>(text.size())));
    std::vector<std::wstring> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find(L"\r\n", start);
        lines.push_back(text.substr(start, end - start));
        start = end == std::wstring::npos ? text.size() : end + 2;
    }
    return lines;
}

std::wstring Today() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    wchar_t date[16];
    swprintf(date, 16, L"%04u%02u%02u", now.wYear, now.wMonth, now.wDay);
    return date;
}

std::wstring DesktopLink() {
    return testfiles::DesktopFolder() + L"\\" + ResString(1) + L".lnk";
}

// Polls until `gone` holds or the deadline passes; no fixed wait.
bool EventuallyGone(const std::wstring& path, std::chrono::seconds deadline = 10s) {
    const auto until = std::chrono::steady_clock::now() + deadline;
    while (Exists(path)) {
        if (std::chrono::steady_clock::now() > until) {
            return false;
        }
        Sleep(50);
    }
    return true;
}

std::vector<std::wstring> HelperCopiesInTemp() {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    std::vector<std::wstring> copies;
    for (const std::wstring& name : testfiles::Names(temp)) {
        if (name.starts_with(L"~vestar-uninstall-")) {
            copies.push_back(std::wstring(temp) + name);
        }
    }
    return copies;
}

class UninstallEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        DeleteEntries();
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    }
    void TearDown() override {
        DeleteEntries();
        DeleteFileW(DesktopLink().c_str());
        CoUninitialize();
    }

    void InstallSilently(const std::wstring& target) {
        const Outcome run = Start(DemoMedium() + L"Install.exe",
                                  L"/VERYSILENT /DIR=" + Quoted(target), DemoMedium(), target);
        ASSERT_EQ(run.exitCode, 0u);
    }

    ScratchDir work_{L"uninstall Тест"};
};

TEST_F(UninstallEndToEnd, ASilentInstallRegistersOneEntryAndAReinstallKeepsItOne) {
    const std::wstring target = work_.path() + L"Комплекс Holter\\";
    InstallSilently(target);

    const std::wstring uninstaller = Quoted(target + L"Uninstall.exe");
    const std::pair<const wchar_t*, std::wstring> strings[] = {
        {L"DisplayName", ResString(2)},
        {L"DisplayVersion", L"1.0.0.0"},
        {L"Publisher", L"Вестар"},
        {L"InstallLocation", target},
        {L"InstallDate", Today()},
        {L"DisplayIcon", target + ResString(4)},
        {L"UninstallString", uninstaller + L" /UNINSTALL"},
        {L"QuietUninstallString", uninstaller + L" /UNINSTALL /VERYSILENT"},
    };
    for (const auto& [name, expected] : strings) {
        EXPECT_EQ(StringValue(HKEY_LOCAL_MACHINE, kKey, name), expected) << Utf8(name);
    }
    EXPECT_EQ(DwordValue(HKEY_LOCAL_MACHINE, kKey, L"NoModify"), 1u);
    EXPECT_EQ(DwordValue(HKEY_LOCAL_MACHINE, kKey, L"NoRepair"), 1u);

    // The record: what the run placed, not the clinic's data or settings.
    const std::vector<std::wstring> recorded = RecordLines(target);
    std::uint64_t bytes = 0;
    for (const std::wstring& file : recorded) {
        bytes += ReadBytes(target + file).size();
    }
    EXPECT_EQ(DwordValue(HKEY_LOCAL_MACHINE, kKey, L"EstimatedSize"), (bytes + 1023) / 1024);
    for (const wchar_t* placed :
         {L"Uninstall.exe", L"fbclient.Dll", L"udf\\Maple.Dll", L"intl\\fbintl.dll",
          L"backup\\r150613\\Install.cmd", L"Updater.exe.cfg", L"ReleaseInfo"}) {
        EXPECT_THAT(recorded, ::testing::Contains(std::wstring(placed))) << Utf8(placed);
    }
    for (const std::wstring& file : recorded) {
        EXPECT_FALSE(file.starts_with(L"DTAfb\\") || file.starts_with(L"Settings\\") ||
                     file == L"Install.log" || file == L"InstalledFiles.txt")
            << Utf8(file);
        EXPECT_TRUE(Exists(target + file)) << Utf8(file);
    }

    // A reinstall, with a stale entry of the same installation in the
    // user's list: one entry after it, the machine's.
    PlantUserEntry(target);
    EXPECT_EQ(EntriesFor(target), 2);
    InstallSilently(target);
    EXPECT_EQ(EntriesFor(target), 1);
    EXPECT_EQ(StringValue(HKEY_LOCAL_MACHINE, kKey, L"InstallLocation"), target);
    EXPECT_EQ(RecordLines(target), recorded);
}

TEST_F(UninstallEndToEnd, AQuietUninstallRemovesTheProgramAndKeepsTheClinicsData) {
    const std::wstring target = work_.path() + L"Комплекс Holter\\";
    InstallSilently(target);
    // A file of an earlier release that this medium no longer brings stays
    // in the merged record and goes too.
    WriteFileCreatingDirs(target + L"udf\\Retired.Dll", "an earlier release's library");
    {
        std::string record = ReadBytes(target + L"InstalledFiles.txt");
        testfiles::WriteBytes(target + L"InstalledFiles.txt", record + "udf\\Retired.Dll\r\n");
    }
    InstallSilently(target);
    ASSERT_THAT(ReadBytes(target + L"InstalledFiles.txt"), HasSubstr("udf\\Retired.Dll"));
    // Files the suite and the clinic created.
    WriteFileCreatingDirs(target + L"udf\\clinic.udf", "the clinic's own function");
    WriteFileCreatingDirs(target + L"Отчёты\\report.txt", "a report");
    WriteFileCreatingDirs(target + L"backup\\r150613\\restored.log", "written by the script");
    ASSERT_TRUE(Exists(DesktopLink()));

    const std::map<std::wstring, std::string> before = SnapshotTree(target);
    const std::vector<std::wstring> recorded = RecordLines(target);
    const std::string logBefore = ReadBytes(target + L"Install.log");

    // Started as a deployment tool starts it, from another directory.
    const Outcome run =
        Start(target + L"Uninstall.exe", L"/UNINSTALL /VERYSILENT", work_.path(), target);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_TRUE(run.windowTitles.empty()) << Utf8(*run.windowTitles.begin());

    // Done when the process has ended: the tree is the earlier one without
    // the recorded files, their emptied directories and the record; the
    // uninstaller itself may still be there for a moment.
    std::map<std::wstring, std::string> expected = before;
    for (const std::wstring& file : recorded) {
        expected.erase(file);
    }
    for (const wchar_t* emptied :
         {L"intl\\", L"backup\\r010115\\", L"backup\\WithOutAnswer\\", L"Scripts\\Help\\",
          L"Scripts\\", L"InstalledFiles.txt", L"Install.log"}) {
        EXPECT_EQ(expected.erase(emptied), 1u) << Utf8(emptied);
    }
    std::map<std::wstring, std::string> atEnd = WithoutLog(run.treeAtEnd);
    atEnd.erase(L"Uninstall.exe");
    const std::string log = run.treeAtEnd.at(L"Install.log");
    EXPECT_EQ(atEnd, expected);
    for (const wchar_t* kept : {L"DTAfb\\QZ7.FDB", L"Settings\\holter.ini", L"udf\\clinic.udf",
                                L"Отчёты\\report.txt", L"backup\\r150613\\restored.log"}) {
        EXPECT_EQ(atEnd.count(kept), 1u) << Utf8(kept);
    }

    // Install.log keeps the runs' blocks and gains the uninstall's.
    EXPECT_THAT(log, StartsWith(logBefore));
    const std::string added = log.substr(logBefore.size());
    EXPECT_THAT(added, StartsWith(Utf8(L"==== Удаление комплекса")));
    EXPECT_THAT(added, HasSubstr(Utf8(L"Параметры: /VERYSILENT /UNINSTALL\r\n")));
    EXPECT_THAT(added, HasSubstr(Utf8(L"Код завершения: 0\r\n")));

    EXPECT_EQ(EntriesFor(target), 0);
    EXPECT_FALSE(Exists(DesktopLink()));
    EXPECT_TRUE(EventuallyGone(target + L"Uninstall.exe"));
    // The hidden helper that deleted it leaves no copy of itself behind.
    const auto until = std::chrono::steady_clock::now() + 10s;
    while (!HelperCopiesInTemp().empty() && std::chrono::steady_clock::now() < until) {
        Sleep(50);
    }
    EXPECT_THAT(HelperCopiesInTemp(), ::testing::IsEmpty());
}

TEST_F(UninstallEndToEnd, APersonIsAskedOnceAndNoChangesNothing) {
    const std::wstring target = work_.path() + L"Holter\\";
    InstallSilently(target);
    const std::map<std::wstring, std::string> before = SnapshotTree(target);

    const std::pair<const wchar_t*, DWORD> answers[] = {{L"No", 2}, {L"Yes", 0}};
    for (const auto& [answer, exitCode] : answers) {
        SCOPED_TRACE(Utf8(answer));
        wizard::WizardDriver driver;
        driver.Launch(target + L"Uninstall.exe", work_.path(), L"/UNINSTALL");
        const wizard::DialogInfo question = driver.WaitForDialog(L"Confirm", 60s);
        EXPECT_THAT(Utf8(question.text), HasSubstr(Utf8(target)));
        for (const wchar_t* named :
             {L"ярлык на рабочем столе", L"DTAfb\\", L"Settings\\", L"Install.log"}) {
            EXPECT_THAT(Utf8(question.text), HasSubstr(Utf8(named)));
        }
        driver.Answer(question, answer);
        EXPECT_EQ(driver.WaitForExit(60s), std::optional<DWORD>(exitCode));
        if (exitCode == 2) {
            EXPECT_EQ(SnapshotTree(target), before);
            EXPECT_EQ(EntriesFor(target), 1);
        }
    }
    EXPECT_FALSE(Exists(target + L"fbclient.Dll"));
    EXPECT_EQ(EntriesFor(target), 0);
    EXPECT_TRUE(EventuallyGone(target + L"Uninstall.exe"));
}

TEST_F(UninstallEndToEnd, WithoutARecordNothingIsRemovedAndTheLogSaysSo) {
    const std::wstring target = work_.path() + L"Holter\\";
    InstallSilently(target);
    DeleteFileW((target + L"InstalledFiles.txt").c_str());
    const std::map<std::wstring, std::string> before = SnapshotTree(target);
    const std::string logBefore = ReadBytes(target + L"Install.log");

    // From the medium, naming the installation.
    const Outcome run =
        Start(DemoMedium() + L"Install.exe", L"/UNINSTALL /VERYSILENT /DIR=" + Quoted(target),
              DemoMedium(), target);
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_EQ(WithoutLog(run.treeAtEnd), WithoutLog(before));
    const std::string log = run.treeAtEnd.at(L"Install.log");
    EXPECT_THAT(log.substr(logBefore.size()), HasSubstr(Utf8(L"ничего не удалено")));
    EXPECT_THAT(log.substr(logBefore.size()), HasSubstr(Utf8(L"Код завершения: 2\r\n")));
    EXPECT_EQ(EntriesFor(target), 1);
}

// A file of the installation held open by another process (as the suite's
// database server holds its libraries): the uninstall names it and ends
// with 4 before it removes anything; the uninstaller, the entry and the
// link stay for the next try.
TEST_F(UninstallEndToEnd, AFileInUseRefusesTheUninstallAndChangesNothing) {
    const std::wstring target = work_.path() + L"Holter\\";
    InstallSilently(target);
    const std::map<std::wstring, std::string> before = SnapshotTree(target);
    const std::string logBefore = ReadBytes(target + L"Install.log");
    const std::wstring held = target + L"fbclient.Dll";
    {
        const testfiles::FileLock lock(held, FILE_SHARE_READ);
        ASSERT_TRUE(lock.locked());
        const Outcome run =
            Start(target + L"Uninstall.exe", L"/UNINSTALL /VERYSILENT", work_.path(), target);
        EXPECT_EQ(run.exitCode, 4u);
        EXPECT_TRUE(run.windowTitles.empty());
        EXPECT_EQ(WithoutLog(run.treeAtEnd), WithoutLog(before));
        const std::string log = run.treeAtEnd.at(L"Install.log");
        EXPECT_THAT(log.substr(logBefore.size()), HasSubstr(Utf8(held)));
        EXPECT_THAT(log.substr(logBefore.size()), HasSubstr(Utf8(L"Код завершения: 4\r\n")));
    }
    EXPECT_EQ(EntriesFor(target), 1);
    EXPECT_TRUE(Exists(DesktopLink()));
}

} // namespace
