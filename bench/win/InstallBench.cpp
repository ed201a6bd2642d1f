// Times the installer from outside its process, for bench/copy-bench.sh:
//   install-bench run <Install.exe on a medium> <target directory>
//       walks to "Начать установку" and times the run up to the driver
//       question, probing the window every 100 ms; prints run_ms,
//       probes, slow_probes (over 200 ms), max_probe_ms and peak_mib (the
//       installer's peak working set).
//   install-bench copyfilew <source> <destination>
//       times Wine's CopyFileW; prints copy_ms.
//   install-bench engine <source> <destination> <block KiB> [flush|writethrough|behind]
//       times the installer's content copy with the given block size, the
//       destination sized first and flushed at the end (with writethrough
//       opened with FILE_FLAG_WRITE_THROUGH, with behind also flushed from
//       a second handle while the copy goes on); prints copy_ms.
//   install-bench startup <program>
//       times a program from its start to its first painted top-level
//       window; prints startup_ms.
// Every figure is printed as name=value on one line.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <windows.h>

#include <psapi.h> // after windows.h, which it needs

#include "WizardDriver.h"
#include "files/CopyEngine.h"

using base::UniqueHandle;
using files::CopyFileContent;

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

long long MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

struct WindowSearch {
    DWORD processId;
    const wchar_t* title; // nullptr: any visible window
    HWND found;
};

// The caption is read without a message, so the search never waits for a
// busy window.
BOOL CALLBACK FindVisibleTopLevel(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search.processId || !IsWindowVisible(window)) {
        return TRUE;
    }
    if (search.title != nullptr && testwindows::StoredText(window) != search.title) {
        return TRUE;
    }
    search.found = window;
    return FALSE;
}

HWND FindWindowOf(DWORD processId, const wchar_t* title) {
    WindowSearch search{processId, title, nullptr};
    EnumWindows(FindVisibleTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// How long the window took to answer WM_NULL, at most `limit`.
long long ProbeMilliseconds(HWND window, std::chrono::milliseconds limit) {
    const auto start = Clock::now();
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(limit.count()),
                        &result);
    return MillisecondsSince(start);
}

int TimeRun(const std::wstring& installer, const std::wstring& target) {
    wizard::WizardDriver driver;
    driver.Launch(installer);
    driver.WaitForMainWindow();
    const HWND start = driver.WalkToComponents(target);
    const auto began = Clock::now();
    wizard::WizardDriver::ClickWindow(start);
    int probes = 0;
    int slow = 0;
    long long worst = 0;
    while (FindWindowOf(driver.ProcessId(), L"Confirm") == nullptr) {
        if (MillisecondsSince(began) > 600'000 || !driver.Running()) {
            fwprintf(stderr, L"the run did not reach the driver question\n");
            return 1;
        }
        const long long waited = ProbeMilliseconds(driver.MainWindow(), 5s);
        ++probes;
        slow += waited > 200 ? 1 : 0;
        worst = std::max(worst, waited);
        std::this_thread::sleep_for(100ms);
    }
    const long long runMs = MillisecondsSince(began);
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof(memory);
    GetProcessMemoryInfo(driver.ProcessHandle(), &memory, sizeof(memory));
    wprintf(L"run_ms=%lld probes=%d slow_probes=%d max_probe_ms=%lld peak_mib=%.1f\n", runMs,
            probes, slow, worst, static_cast<double>(memory.PeakWorkingSetSize) / (1 << 20));
    return 0;
}

int TimeCopyFileW(const std::wstring& source, const std::wstring& destination) {
    const auto began = Clock::now();
    if (!CopyFileW(source.c_str(), destination.c_str(), FALSE)) {
        fwprintf(stderr, L"CopyFileW failed: %lu\n", GetLastError());
        return 1;
    }
    wprintf(L"copy_ms=%lld\n", MillisecondsSince(began));
    return 0;
}

// How the destination is brought to the disk: "flush" writes through the
// cache and flushes once at the end, "writethrough" opens it with
// FILE_FLAG_WRITE_THROUGH, "behind" flushes on a second handle while the
// copy goes on.
UniqueHandle OpenDestination(const std::wstring& destination, const std::wstring& variant) {
    const DWORD flags =
        FILE_ATTRIBUTE_NORMAL | (variant == L"writethrough" ? FILE_FLAG_WRITE_THROUGH : 0);
    const DWORD share = variant == L"behind" ? FILE_SHARE_READ | FILE_SHARE_WRITE : 0;
    return UniqueHandle(CreateFileW(destination.c_str(), GENERIC_READ | GENERIC_WRITE, share,
                                    nullptr, CREATE_ALWAYS, flags, nullptr));
}

int TimeEngine(const std::wstring& source, const std::wstring& destination, DWORD blockKib,
               const std::wstring& variant) {
    const auto began = Clock::now();
    const UniqueHandle in(CreateFileW(source.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    const UniqueHandle out = OpenDestination(destination, variant);
    LARGE_INTEGER size{};
    LARGE_INTEGER start{};
    if (!in || !out || !GetFileSizeEx(in.get(), &size) ||
        !SetFilePointerEx(out.get(), size, nullptr, FILE_BEGIN) || !SetEndOfFile(out.get()) ||
        !SetFilePointerEx(out.get(), start, nullptr, FILE_BEGIN)) {
        fwprintf(stderr, L"the copy failed: %lu\n", GetLastError());
        return 1;
    }
    UniqueHandle writeBack;
    if (variant == L"behind") {
        writeBack.reset(CreateFileW(destination.c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    const bool copied = CopyFileContent(in.get(), out.get(), static_cast<ULONGLONG>(size.QuadPart),
                                        {}, blockKib * 1024, writeBack.get());
    if (!copied || !FlushFileBuffers(out.get())) {
        fwprintf(stderr, L"the copy failed: %lu\n", GetLastError());
        return 1;
    }
    wprintf(L"copy_ms=%lld\n", MillisecondsSince(began));
    return 0;
}

struct PaintCheck {
    bool pending = false;
};

BOOL CALLBACK FindPendingPaint(HWND window, LPARAM param) {
    auto& check = *reinterpret_cast<PaintCheck*>(param);
    if (IsWindowVisible(window) && GetUpdateRect(window, nullptr, FALSE)) {
        check.pending = true;
        return FALSE;
    }
    return TRUE;
}

// Visible, answering, and neither it nor a visible child waits for paint.
bool Painted(HWND window) {
    if (ProbeMilliseconds(window, 1s) >= 1000 || GetUpdateRect(window, nullptr, FALSE)) {
        return false;
    }
    PaintCheck check;
    EnumChildWindows(window, FindPendingPaint, reinterpret_cast<LPARAM>(&check));
    return !check.pending;
}

int TimeStartup(const std::wstring& program) {
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    const auto began = Clock::now();
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        fwprintf(stderr, L"cannot start %ls\n", program.c_str());
        return 1;
    }
    const UniqueHandle process(info.hProcess);
    CloseHandle(info.hThread);
    for (;;) {
        if (const HWND window = FindWindowOf(info.dwProcessId, nullptr);
            window != nullptr && Painted(window)) {
            break;
        }
        if (MillisecondsSince(began) > 60'000) {
            fwprintf(stderr, L"no painted window\n");
            TerminateProcess(process.get(), 1);
            return 1;
        }
        std::this_thread::sleep_for(5ms);
    }
    wprintf(L"startup_ms=%lld\n", MillisecondsSince(began));
    TerminateProcess(process.get(), 0);
    WaitForSingleObject(process.get(), 5000);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    try {
        if (mode == L"run" && argc == 4) {
            return TimeRun(argv[2], argv[3]);
        }
        if (mode == L"copyfilew" && argc == 4) {
            return TimeCopyFileW(argv[2], argv[3]);
        }
        if (mode == L"engine" && (argc == 5 || argc == 6)) {
            return TimeEngine(argv[2], argv[3], static_cast<DWORD>(_wtoi(argv[4])),
                              argc == 6 ? argv[5] : L"flush");
        }
        if (mode == L"startup" && argc == 3) {
            return TimeStartup(argv[2]);
        }
    } catch (const std::exception& error) {
        fprintf(stderr, "install-bench: %s\n", error.what());
        return 1;
    }
    fwprintf(
        stderr,
        L"usage: install-bench run <Install.exe> <target> | copyfilew <source> "
        L"<destination> | engine <source> <destination> <block KiB> [flush|writethrough|behind] "
        L"| startup <program>\n");
    return 2;
}
