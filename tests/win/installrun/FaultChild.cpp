// A second process for the fault matrix.
//   hold <path> <event>            keeps the file open without sharing until
//                                  ended, and signals the named event then
//   install <medium> <target> <ms> runs the install run with every block
//                                  write slowed by <ms> milliseconds, so that
//                                  the test can end it midway
#include <cwchar>
#include <string>
#include <windows.h>

#include "FakeHost.h"
#include "files/BlockWriter.h"
#include "install/InstallRun.h"
#include "base/AppError.h"
#include "base/Handles.h"

using base::AppError;
using base::ComApartment;
using base::UniqueHandle;
using files::IBlockWriter;
using files::ScopedBlockWriter;
using install::InstallEnvironment;
using install::RunInstall;

namespace {

class SlowWriter final : public IBlockWriter {
  public:
    explicit SlowWriter(DWORD delayMs) : delayMs_(delayMs) {}
    base::SysResult WriteBlock(HANDLE file, const void* data, DWORD size) override {
        Sleep(delayMs_);
        DWORD written = 0;
        return WriteFile(file, data, size, &written, nullptr) && written == size
                   ? base::SysResult()
                   : base::SysResult::LastError();
    }

  private:
    DWORD delayMs_;
};

// Holds the file and then signals the named event.
int Hold(const wchar_t* path, const wchar_t* eventName) {
    const UniqueHandle file(CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    const UniqueHandle held(OpenEventW(EVENT_MODIFY_STATE, FALSE, eventName));
    if (!file || !held) {
        return 2;
    }
    SetEvent(held.get());
    Sleep(INFINITE);
    return 0;
}

int Install(const wchar_t* medium, const wchar_t* target, DWORD delayMs) {
    ComApartment com;
    FakeHost host;
    host.path = target;
    ScriptedDialogs dialogs;
    FakeSystem system;
    SlowWriter slow(delayMs);
    const ScopedBlockWriter replaced(slow);
    try {
        RunInstall(InstallEnvironment{host, dialogs, system, GetModuleHandleW(nullptr), medium});
    } catch (const AppError&) {
        return 1;
    }
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode == L"hold" && argc == 4) {
        return Hold(argv[2], argv[3]);
    }
    if (mode == L"install" && argc == 5) {
        return Install(argv[2], argv[3], static_cast<DWORD>(std::wcstoul(argv[4], nullptr, 10)));
    }
    return 3;
}
