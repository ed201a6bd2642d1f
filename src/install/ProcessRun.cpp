// Starting programs: RunProgram (in the installer's current directory) and
// RunInOwnDir (in the program's own directory, always waited for).
//
// Both quote the program path, so that a path with blanks never starts a
// program named by its first word, and hand the system a copy of the whole
// command line, however long.
#include "install/ProcessRun.h"
#include "install/portable/CommandLine.h"
#include "base/AppError.h"
#include "base/SysError.h"
#include "base/Handles.h"
#include "base/portable/PathText.h"

namespace install {

using base::AppError;
using base::ParentDirectory;
using base::SysErrorMessage;
using base::UniqueHandle;

namespace {

constexpr DWORD kWaitSliceMs = 100;

struct ChildProcess {
    UniqueHandle process;
    UniqueHandle thread;
};

// Starts `commandLine` hidden or shown as `showWindow` says, in its own
// console; false when the system cannot start it.
bool StartProcess(std::wstring commandLine, const std::wstring& workingDirectory, WORD showWindow,
                  ChildProcess& child) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = showWindow;
    PROCESS_INFORMATION info{};
    const wchar_t* directory = workingDirectory.empty() ? nullptr : workingDirectory.c_str();
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                        CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS, nullptr, directory, &startup,
                        &info)) {
        return false;
    }
    child.process.reset(info.hProcess);
    child.thread.reset(info.hThread);
    return true;
}

} // namespace

int RunProgram(const std::wstring& commandLine, WORD showWindow, bool wait, DWORD* startError) {
    ChildProcess child;
    const bool started =
        StartProcess(QuotedCommandLine(commandLine), std::wstring(), showWindow, child);
    if (startError != nullptr) {
        *startError = started ? 0 : GetLastError();
    }
    if (!started) {
        return -1;
    }
    if (!wait) {
        return 0;
    }
    DWORD exitCode = 0;
    if (WaitForSingleObject(child.process.get(), INFINITE) == WAIT_FAILED ||
        !GetExitCodeProcess(child.process.get(), &exitCode)) {
        return -1;
    }
    return static_cast<int>(exitCode);
}

DWORD RunInOwnDir(const std::wstring& programPath, const std::wstring& parameters,
                  WORD showWindow) {
    ChildProcess child;
    if (!StartProcess(ProgramCommandLine(programPath, parameters), ParentDirectory(programPath),
                      showWindow, child)) {
        throw AppError(L"не смог создать процесс: " + programPath);
    }
    DWORD waited = WAIT_TIMEOUT;
    while (waited == WAIT_TIMEOUT) {
        waited = WaitForSingleObject(child.process.get(), kWaitSliceMs);
    }
    if (waited == WAIT_FAILED) {
        const DWORD error = GetLastError();
        throw AppError(L"не смог дождаться процесса: " + programPath + L". " +
                       SysErrorMessage(error));
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(child.process.get(), &exitCode);
    return exitCode;
}

} // namespace install
