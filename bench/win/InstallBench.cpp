// Times the installer from outside its process, for bench/copy-bench.sh:
//   install-bench run <Install.exe on a medium> <target directory>
//       walks to "Начать установку" and times the run up to the driver
//       question, probing the window every 100 ms; prints run_ms,
//       probes, slow_probes (over 200 ms), max_probe_ms and peak_mib (the
//       installer's peak working set).
//   install-bench phases <Install.exe on a medium> <target directory>
//       the same run, the progress log read every 10 ms instead of the
//       probes: for each log line the time from the click to its first
//       sight and to its last text, and the time it took after the line
//       before; then the driver question's time. Every rewrite of a line
//       (a copy's percentage) is printed first, with its time.
//   install-bench copyfilew <source> <destination>
//       times Wine's CopyFileW; prints copy_ms.
//   install-bench engine <source> <destination> <block KiB>
//                        [flush|writethrough|behind|behind-unsized|plain|halves|peer]
//       times the installer's content copy with the given block size, the
//       destination sized first and flushed at the end (with writethrough
//       opened with FILE_FLAG_WRITE_THROUGH, with behind also flushed from
//       a second handle while the copy goes on, with behind-unsized the
//       same without sizing first, with plain read and written by the
//       bench's own loop on one thread through one buffer, with halves the
//       file's two halves copied at once by two such threads, with peer
//       CopyFileW then FlushFileBuffers); prints copy_ms.
//   install-bench keepdate|keepdate-worker <source> <destination>
//       times the installer's whole single-file copy (CopyFileKeepDate),
//       with keepdate-worker on a worker thread while the main thread waits
//       in a message loop as the run's does; prints copy_ms.
//   install-bench smallfiles <medium\\> <target\\> keepdate|keepdate-worker|peer
//       copies the run's files other than the database into the target's
//       layout one after another: with the installer's single-file copy
//       (keepdate-worker: each on a worker while this thread waits in a
//       message loop, as the run does) or with CopyFileW and
//       FlushFileBuffers (peer); prints copy_ms. What the run adds to each
//       file beyond its copy shows against the run's own steps.
//   install-bench startup <program>
//       times a program from its start to its first painted top-level
//       window; prints startup_ms.
// Every figure is printed as name=value on one line.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>
#include <windows.h>

#include <psapi.h> // after windows.h, which it needs

#include "PeerCopy.h"
#include "WizardDriver.h"
#include "common/TestFiles.h"
#include "files/CopyEngine.h"
#include "files/FileCopy.h"
#include "install/MediumLayout.h"
#include "install/WorkerWait.h"

using base::UniqueHandle;
namespace MediumLayout = install::MediumLayout;
using files::CopyFileContent;
using files::CopyFileKeepDate;
using files::kWriteBackStep;
using install::RunOnWorker;
using testfiles::Utf8;

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

// Walks the installer to "Начать установку", clicks it and calls `poll`
// with the click's time every `pause` until the driver question shows. The
// milliseconds from the click to the question, or -1 (said on stderr) when
// the run ended or took ten minutes without it.
long long RunToQuestion(wizard::WizardDriver& driver, const std::wstring& installer,
                        const std::wstring& target, std::chrono::milliseconds pause,
                        const std::function<void(Clock::time_point)>& poll) {
    driver.Launch(installer);
    driver.WaitForMainWindow();
    const HWND start = driver.WalkToComponents(target);
    const auto began = Clock::now();
    wizard::WizardDriver::ClickWindow(start);
    while (FindWindowOf(driver.ProcessId(), L"Confirm") == nullptr) {
        if (MillisecondsSince(began) > 600'000 || !driver.Running()) {
            fwprintf(stderr, L"the run did not reach the driver question\n");
            return -1;
        }
        poll(began);
        std::this_thread::sleep_for(pause);
    }
    return MillisecondsSince(began);
}

int TimeRun(const std::wstring& installer, const std::wstring& target) {
    wizard::WizardDriver driver;
    int probes = 0;
    int slow = 0;
    long long worst = 0;
    const long long runMs = RunToQuestion(driver, installer, target, 100ms, [&](Clock::time_point) {
        const long long waited = ProbeMilliseconds(driver.MainWindow(), 5s);
        ++probes;
        slow += waited > 200 ? 1 : 0;
        worst = std::max(worst, waited);
    });
    if (runMs < 0) {
        return 1;
    }
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof(memory);
    GetProcessMemoryInfo(driver.ProcessHandle(), &memory, sizeof(memory));
    wprintf(L"run_ms=%lld probes=%d slow_probes=%d max_probe_ms=%lld peak_mib=%.1f\n", runMs,
            probes, slow, worst, static_cast<double>(memory.PeakWorkingSetSize) / (1 << 20));
    return 0;
}

// The progress log's lines as the run writes them, each with the time of
// its first sight and of its last change. A poll reads the count, the line
// that was last (it may have been finished since) and the new ones: a few
// messages, so that the watch costs the run little.
class LogWatch {
  public:
    LogWatch(HWND list, Clock::time_point began) : list_(list), began_(began) {}

    void Poll() {
        const LRESULT count = SendMessageW(list_, LB_GETCOUNT, 0, 0);
        const long long now = MillisecondsSince(began_);
        for (LRESULT i = lines_.empty() ? 0 : static_cast<LRESULT>(lines_.size()) - 1; i < count;
             ++i) {
            std::wstring text = testwindows::ListBoxLine(list_, i);
            if (static_cast<size_t>(i) >= lines_.size()) {
                lines_.push_back({now, now, std::move(text)});
            } else if (text != lines_[static_cast<size_t>(i)].text) {
                changes_.push_back({now, now, text});
                lines_[static_cast<size_t>(i)].lastMs = now;
                lines_[static_cast<size_t>(i)].text = std::move(text);
            }
        }
    }

    // Each rewrite of a line as "change t_ms=... text=...", then one line
    // per log line: first_ms, done_ms (its last change), step_ms (done_ms
    // less the line before's) and the text; then the end.
    void Print(long long endMs) const {
        for (const Line& change : changes_) {
            printf("change t_ms=%lld text=%s\n", change.firstMs, Utf8(change.text).c_str());
        }
        long long before = 0;
        for (const Line& line : lines_) {
            const std::string text = Utf8(line.text);
            printf("phase first_ms=%lld done_ms=%lld step_ms=%lld text=%s\n", line.firstMs,
                   line.lastMs, line.lastMs - before, text.c_str());
            before = line.lastMs;
        }
        printf("phase first_ms=%lld done_ms=%lld step_ms=%lld text=(driver question)\n", endMs,
               endMs, endMs - before);
    }

  private:
    struct Line {
        long long firstMs;
        long long lastMs;
        std::wstring text;
    };

    HWND list_;
    Clock::time_point began_;
    std::vector<Line> lines_;
    std::vector<Line> changes_;
};

int TimePhases(const std::wstring& installer, const std::wstring& target) {
    wizard::WizardDriver driver;
    std::optional<LogWatch> watch;
    const long long endMs =
        RunToQuestion(driver, installer, target, 10ms, [&](Clock::time_point began) {
            if (!watch) {
                const HWND list = driver.FindVisibleByClass(L"ListBox");
                if (list == nullptr) {
                    return;
                }
                watch.emplace(list, began);
            }
            watch->Poll();
        });
    if (endMs < 0 || !watch) {
        return 1;
    }
    watch->Poll();
    watch->Print(endMs);
    printf("run_ms=%lld\n", endMs);
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
// copy goes on, "plain" is "flush" copied by the bench's own loop,
// "halves" lets two threads write the file.
UniqueHandle OpenDestination(const std::wstring& destination, const std::wstring& variant) {
    const DWORD flags =
        FILE_ATTRIBUTE_NORMAL | (variant == L"writethrough" ? FILE_FLAG_WRITE_THROUGH : 0);
    const DWORD share = variant.starts_with(L"behind") || variant == L"halves"
                            ? FILE_SHARE_READ | FILE_SHARE_WRITE
                            : 0;
    return UniqueHandle(CreateFileW(destination.c_str(), GENERIC_READ | GENERIC_WRITE, share,
                                    nullptr, CREATE_ALWAYS, flags, nullptr));
}

// For comparison: one buffer, read then written on the calling thread;
// with `flushEvery`, the destination is flushed after every that many bytes.
bool CopyOnOneThread(HANDLE in, HANDLE out, ULONGLONG size, DWORD blockSize,
                     ULONGLONG flushEvery = 0) {
    const auto buffer = std::make_unique_for_overwrite<BYTE[]>(blockSize);
    ULONGLONG unflushed = 0;
    while (size > 0) {
        const DWORD wanted = static_cast<DWORD>(std::min<ULONGLONG>(size, blockSize));
        DWORD read = 0;
        DWORD written = 0;
        if (!ReadFile(in, buffer.get(), wanted, &read, nullptr) || read != wanted ||
            !WriteFile(out, buffer.get(), read, &written, nullptr) || written != read) {
            return false;
        }
        size -= read;
        unflushed += read;
        if (flushEvery != 0 && unflushed >= flushEvery) {
            FlushFileBuffers(out);
            unflushed = 0;
        }
    }
    return true;
}

// For comparison: the two halves of the file copied at once by two
// threads, each with its own handles and buffer, each flushing its half's
// handle behind itself every 64 MiB.
bool CopyHalvesAtOnce(const std::wstring& source, const std::wstring& destination, ULONGLONG size,
                      DWORD blockSize) {
    const ULONGLONG half = size / 2 / blockSize * blockSize;
    bool ok[2] = {false, false};
    const auto copyPart = [&](int part) {
        const UniqueHandle in(CreateFileW(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        const UniqueHandle out(CreateFileW(destination.c_str(), GENERIC_WRITE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        const ULONGLONG begin = part == 0 ? 0 : half;
        const ULONGLONG end = part == 0 ? half : size;
        LARGE_INTEGER position{};
        position.QuadPart = static_cast<LONGLONG>(begin);
        if (!in || !out || !SetFilePointerEx(in.get(), position, nullptr, FILE_BEGIN) ||
            !SetFilePointerEx(out.get(), position, nullptr, FILE_BEGIN)) {
            return;
        }
        ok[part] = CopyOnOneThread(in.get(), out.get(), end - begin, blockSize, kWriteBackStep) &&
                   FlushFileBuffers(out.get()) != 0;
    };
    {
        std::jthread second(copyPart, 1);
        copyPart(0);
    }
    return ok[0] && ok[1];
}

// What a stock program does: CopyFileW, then the copy opened again and
// flushed.
int TimePeerCopy(const std::wstring& source, const std::wstring& destination) {
    const auto began = Clock::now();
    if (!CopyFileAndFlush(source, destination)) {
        fwprintf(stderr, L"the copy failed: %lu\n", GetLastError());
        return 1;
    }
    wprintf(L"copy_ms=%lld\n", MillisecondsSince(began));
    return 0;
}

int TimeEngine(const std::wstring& source, const std::wstring& destination, DWORD blockKib,
               const std::wstring& variant) {
    if (variant == L"peer") {
        return TimePeerCopy(source, destination);
    }
    const auto began = Clock::now();
    const UniqueHandle in(CreateFileW(source.c_str(), GENERIC_READ,
                                      variant == L"halves" ? FILE_SHARE_READ : 0, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    const UniqueHandle out = OpenDestination(destination, variant);
    LARGE_INTEGER size{};
    LARGE_INTEGER start{};
    const auto sizeFirst = [&] {
        return variant == L"behind-unsized" ||
               (SetFilePointerEx(out.get(), size, nullptr, FILE_BEGIN) && SetEndOfFile(out.get()) &&
                SetFilePointerEx(out.get(), start, nullptr, FILE_BEGIN));
    };
    if (!in || !out || !GetFileSizeEx(in.get(), &size) || !sizeFirst()) {
        fwprintf(stderr, L"the copy failed: %lu\n", GetLastError());
        return 1;
    }
    UniqueHandle writeBack;
    if (variant.starts_with(L"behind")) {
        writeBack.reset(CreateFileW(destination.c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    if (variant == L"halves") {
        const bool halves = CopyHalvesAtOnce(
            source, destination, static_cast<ULONGLONG>(size.QuadPart), blockKib * 1024);
        if (!halves) {
            fwprintf(stderr, L"the copy failed\n");
            return 1;
        }
        wprintf(L"copy_ms=%lld\n", MillisecondsSince(began));
        return 0;
    }
    const bool copied =
        variant == L"plain"
            ? CopyOnOneThread(in.get(), out.get(), static_cast<ULONGLONG>(size.QuadPart),
                              blockKib * 1024)
            : CopyFileContent(in.get(), out.get(), static_cast<ULONGLONG>(size.QuadPart), {},
                              blockKib * 1024, writeBack.get())
                  .ok();
    if (!copied || !FlushFileBuffers(out.get())) {
        fwprintf(stderr, L"the copy failed: %lu\n", GetLastError());
        return 1;
    }
    wprintf(L"copy_ms=%lld\n", MillisecondsSince(began));
    return 0;
}

// The installer's whole single-file copy (temporary file beside, write
// time, flush, move into place), timed on the calling thread.
// With `onWorker`, on a worker thread while this one waits in a message
// loop, as the installer's run does.
int TimeKeepDate(const std::wstring& source, const std::wstring& destination, bool onWorker) {
    const auto began = Clock::now();
    bool copied = false;
    const auto copy = [&] { copied = CopyFileKeepDate(source, destination).ok(); };
    if (onWorker) {
        const auto pump = [] {
            MSG message{};
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                DispatchMessageW(&message);
            }
        };
        RunOnWorker(copy, pump, [] {});
    } else {
        copy();
    }
    if (!copied) {
        fwprintf(stderr, L"the copy failed: %lu\n", GetLastError());
        return 1;
    }
    wprintf(L"copy_ms=%lld\n", MillisecondsSince(began));
    return 0;
}

// The run's files other than the database, copied one by one in `how`'s way.
int TimeSmallFiles(const std::wstring& medium, const std::wstring& target,
                   const std::wstring& how) {
    for (const std::wstring_view directory :
         {MediumLayout::TargetIntlDir, MediumLayout::TargetUdfDir}) {
        CreateDirectoryW((target + std::wstring(directory)).c_str(), nullptr);
    }
    const auto pump = [] {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
    };
    const auto began = Clock::now();
    for (const MediumLayout::FileGroup* group :
         {&MediumLayout::Group2AFirebird, &MediumLayout::Group3CharacterSets,
          &MediumLayout::Group4StandardUdf, &MediumLayout::Group5InHouseUdf}) {
        for (const std::wstring_view name : group->files) {
            const std::wstring from = medium + std::wstring(group->sourceDir) + std::wstring(name);
            const std::wstring to = target + std::wstring(group->targetDir) + std::wstring(name);
            bool copied = false;
            if (how == L"peer") {
                copied = CopyFileAndFlush(from, to);
            } else if (how == L"keepdate-worker") {
                RunOnWorker([&] { copied = CopyFileKeepDate(from, to).ok(); }, pump, [] {});
            } else {
                copied = CopyFileKeepDate(from, to).ok();
            }
            if (!copied) {
                fwprintf(stderr, L"%ls failed: %lu\n", from.c_str(), GetLastError());
                return 1;
            }
        }
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
        if (mode == L"phases" && argc == 4) {
            return TimePhases(argv[2], argv[3]);
        }
        if ((mode == L"keepdate" || mode == L"keepdate-worker") && argc == 4) {
            return TimeKeepDate(argv[2], argv[3], mode == L"keepdate-worker");
        }
        if (mode == L"copyfilew" && argc == 4) {
            return TimeCopyFileW(argv[2], argv[3]);
        }
        if (mode == L"engine" && (argc == 5 || argc == 6)) {
            return TimeEngine(argv[2], argv[3], static_cast<DWORD>(_wtoi(argv[4])),
                              argc == 6 ? argv[5] : L"flush");
        }
        if (mode == L"smallfiles" && argc == 5) {
            return TimeSmallFiles(argv[2], argv[3], argv[4]);
        }
        if (mode == L"startup" && argc == 3) {
            return TimeStartup(argv[2]);
        }
    } catch (const std::exception& error) {
        fprintf(stderr, "install-bench: %s\n", error.what());
        return 1;
    }
    fwprintf(stderr, L"usage: install-bench run|phases <Install.exe> <target> | copyfilew <source> "
                     L"<destination> | engine <source> <destination> <block KiB> "
                     L"[flush|writethrough|behind|behind-unsized|plain|halves|peer] "
                     L"| keepdate[-worker] <source> <destination> "
                     L"| smallfiles <medium\\> <target\\> keepdate|keepdate-worker|peer "
                     L"| startup <program>\n");
    return 2;
}
