#include <gtest/gtest.h>

#include <windows.h>

#include <tlhelp32.h>

#include "common/TestFiles.h"
#include "install/ProcessRun.h"
#include "base/AppError.h"
#include "base/Handles.h"

using base::AppError;
using base::UniqueHandle;
using install::RunInOwnDir;
using install::RunProgram;

namespace {

using namespace testfiles;

// What the probe child wrote about itself: its working directory and its
// command line.
struct ProbeReport {
    std::string cwd;
    std::string cmd;
};

ProbeReport ReadReport(const std::wstring& probe) {
    const std::string text = ReadBytes(probe + L".out.txt");
    ProbeReport report;
    const std::size_t cwdEnd = text.find('\n');
    if (text.rfind("cwd=", 0) == 0 && cwdEnd != std::string::npos) {
        report.cwd = text.substr(4, cwdEnd - 4);
        const std::size_t cmdEnd = text.find('\n', cwdEnd + 1);
        report.cmd = text.substr(cwdEnd + 5, cmdEnd - cwdEnd - 5);
    }
    return report;
}

// A running child of this process by its program's file name, opened to
// be waited for; empty when there is none.
UniqueHandle ChildProcess(const std::wstring& fileName) {
    const UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = snapshot && Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
        if (entry.th32ParentProcessID == GetCurrentProcessId() &&
            _wcsicmp(entry.szExeFile, fileName.c_str()) == 0) {
            return UniqueHandle(OpenProcess(SYNCHRONIZE, FALSE, entry.th32ProcessID));
        }
    }
    return UniqueHandle();
}

class ProcessRunTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(CreateDirectoryW((dir / L"Program Files Тест").c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW(programDir.c_str(), nullptr));
        ASSERT_TRUE(CopyFileW((OwnDirectory() + L"primitives_probe_child.exe").c_str(),
                              probe.c_str(), FALSE));
    }

    ScratchDir dir;
    std::wstring programDir = dir / L"Program Files Тест\\Холтер Вестар";
    std::wstring probe = programDir + L"\\Драйвер установка.exe";
};

TEST_F(ProcessRunTest, RunProgramForAMissingProgramGivesMinusOne) {
    EXPECT_EQ(RunProgram(dir / L"нет\\FTDIDriverInstall.exe", SW_HIDE, true), -1);
    EXPECT_EQ(RunProgram(dir / L"missing.exe", SW_HIDE, true), -1);
}

TEST_F(ProcessRunTest, RunProgramStartsAPathWithBlanksInTheCurrentDirectory) {
    EXPECT_EQ(RunProgram(probe, SW_HIDE, true), 0);

    const ProbeReport report = ReadReport(probe);
    EXPECT_EQ(report.cwd, Utf8(CurrentDirectory()));
    EXPECT_EQ(report.cmd, Utf8(L"\"" + probe + L"\""));
}

TEST_F(ProcessRunTest, RunProgramNeverStartsTheProgramNamedByTheFirstWord) {
    const std::wstring decoy = dir / L"Program.exe";
    ASSERT_TRUE(CopyFileW(probe.c_str(), decoy.c_str(), FALSE));
    const std::wstring previous = CurrentDirectory();
    ASSERT_TRUE(SetCurrentDirectoryW(dir.path().c_str()));
    const std::wstring relative = L"Program Files Тест\\Холтер Вестар\\Драйвер установка.exe";

    // Unquoted, the system itself would start the decoy.
    std::wstring unquoted = relative;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(CreateProcessW(nullptr, unquoted.data(), nullptr, nullptr, FALSE,
                               CREATE_NEW_CONSOLE, nullptr, nullptr, &startup, &info));
    WaitForSingleObject(info.hProcess, INFINITE);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    ASSERT_TRUE(Exists(decoy + L".out.txt")) << "the decoy shows the danger";
    DeleteFileW((decoy + L".out.txt").c_str());

    const int exitCode = RunProgram(relative, SW_HIDE, true);
    SetCurrentDirectoryW(previous.c_str());

    EXPECT_EQ(exitCode, 0);
    EXPECT_FALSE(Exists(decoy + L".out.txt"));
    EXPECT_TRUE(Exists(probe + L".out.txt"));
}

TEST_F(ProcessRunTest, RunProgramPassesAQuotedLineWithArgumentsAndGivesTheExitCode) {
    EXPECT_EQ(RunProgram(L"\"" + probe + L"\" /exit:7", SW_HIDE, true), 7);
    EXPECT_EQ(ReadReport(probe).cmd, Utf8(L"\"" + probe + L"\" /exit:7"));
}

TEST_F(ProcessRunTest, RunProgramPassesALongCommandLineWhole) {
    const std::wstring argument(1500, L'Ж');
    EXPECT_EQ(RunProgram(L"\"" + probe + L"\" " + argument, SW_HIDE, true), 0);
    EXPECT_EQ(ReadReport(probe).cmd, Utf8(L"\"" + probe + L"\" " + argument));
}

TEST_F(ProcessRunTest, RunProgramWithoutWaitingReturnsWhileTheProgramRuns) {
    const UniqueHandle hold(CreateEventW(nullptr, TRUE, FALSE, L"vestar-probe-hold"));
    ASSERT_TRUE(hold);
    EXPECT_EQ(RunProgram(L"\"" + probe + L"\" /hold:vestar-probe-hold", SW_HIDE, false), 0);
    // The child waits for the event, so it is still there to be found.
    const UniqueHandle child = ChildProcess(L"Драйвер установка.exe");
    ASSERT_TRUE(child);
    EXPECT_EQ(WaitForSingleObject(child.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    SetEvent(hold.get());
    ASSERT_EQ(WaitForSingleObject(child.get(), 30000), WAIT_OBJECT_0);
    EXPECT_EQ(ReadReport(probe).cmd, Utf8(L"\"" + probe + L"\" /hold:vestar-probe-hold"));
}

TEST_F(ProcessRunTest, RunInOwnDirRunsInTheProgramsDirectoryAndGivesTheExitCode) {
    EXPECT_EQ(RunInOwnDir(probe, L"/exit:5", SW_HIDE), 5u);

    const ProbeReport report = ReadReport(probe);
    EXPECT_EQ(report.cwd, Utf8(programDir));
    EXPECT_EQ(report.cmd, Utf8(L"\"" + probe + L"\" /exit:5"));
}

TEST_F(ProcessRunTest, RunInOwnDirWithoutParametersEndsTheLineInABlank) {
    EXPECT_EQ(RunInOwnDir(probe, L"", SW_HIDE), 0u);
    EXPECT_EQ(ReadReport(probe).cmd, Utf8(L"\"" + probe + L"\" "));
}

TEST_F(ProcessRunTest, RunInOwnDirRunsAScriptInItsDirectory) {
    const std::wstring backup = programDir + L"\\r150613";
    ASSERT_TRUE(CreateDirectoryW(backup.c_str(), nullptr));
    ASSERT_TRUE(WriteBytes(backup + L"\\Install.cmd",
                           "@echo off\r\necho %CD%> script-ran.txt\r\nexit /b 3\r\n"));

    EXPECT_EQ(RunInOwnDir(backup + L"\\Install.cmd", L"", SW_HIDE), 3u);

    const std::string ran = ReadBytes(backup + L"\\script-ran.txt");
    EXPECT_NE(ran.find("\\r150613"), std::string::npos) << ran;
}

TEST_F(ProcessRunTest, RunInOwnDirRaisesWhenTheProgramCannotStart) {
    const std::wstring missing = programDir + L"\\r010115\\Install.cmd";
    try {
        RunInOwnDir(missing, L"", SW_HIDE);
        FAIL() << "nothing raised";
    } catch (const AppError& error) {
        EXPECT_EQ(error.text(), L"не смог создать процесс: " + missing);
    }
}

} // namespace
