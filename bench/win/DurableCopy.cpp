// What a stock Windows program does to copy files durably, for
// bench/copy-bench.sh to set the installer's run against:
//   durable-copy <medium> <target>
//       CopyFileW of each file the install run copies (the database, the
//       Firebird runtime of the first Windows choice, the character sets,
//       the standard and the in-house extension libraries), each followed
//       by FlushFileBuffers of the copy, one after another on one thread,
//       into the target's layout (the target's directories made first);
//       prints copy_ms, from the first copy to the last flush.
//   durable-copy --list
//       prints, a line each, the file's path below the medium, a tab and its
//       path below the target, so that the native copies take the same
//       files.
// Both paths end in a backslash. Nothing but the timing of these calls is
// of interest here: the program stops at the first failure.
#include <chrono>
#include <cstdio>
#include <string>
#include <windows.h>

#include "PeerCopy.h"
#include "install/MediumLayout.h"

namespace {

namespace MediumLayout = install::MediumLayout;
using Clock = std::chrono::steady_clock;

// The groups the install run copies, in its order.
constexpr const MediumLayout::FileGroup* kRunGroups[] = {
    &MediumLayout::Group1Database, &MediumLayout::Group2AFirebird,
    &MediumLayout::Group3CharacterSets, &MediumLayout::Group4StandardUdf,
    &MediumLayout::Group5InHouseUdf};

template <typename Visit> void ForEachRunFile(const Visit& visit) {
    for (const MediumLayout::FileGroup* group : kRunGroups) {
        for (const std::wstring_view name : group->files) {
            if (!visit(std::wstring(group->sourceDir) + std::wstring(name),
                       std::wstring(group->targetDir) + std::wstring(name))) {
                return;
            }
        }
    }
}

void PrintList() {
    ForEachRunFile([](const std::wstring& from, const std::wstring& to) {
        wprintf(L"%ls\t%ls\n", from.c_str(), to.c_str());
        return true;
    });
}

int CopyDurably(const std::wstring& medium, const std::wstring& target) {
    CreateDirectoryW(target.c_str(), nullptr);
    for (const std::wstring_view directory :
         {MediumLayout::DatabaseDir, MediumLayout::TargetIntlDir, MediumLayout::TargetUdfDir}) {
        CreateDirectoryW((target + std::wstring(directory)).c_str(), nullptr);
    }
    const auto began = Clock::now();
    bool ok = true;
    ForEachRunFile([&](const std::wstring& from, const std::wstring& to) {
        const std::wstring source = medium + from;
        const std::wstring destination = target + to;
        ok = CopyFileAndFlush(source, destination);
        if (!ok) {
            fwprintf(stderr, L"durable-copy: %ls failed: %lu\n", source.c_str(), GetLastError());
        }
        return ok;
    });
    if (!ok) {
        return 1;
    }
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - began).count();
    wprintf(L"copy_ms=%lld\n", static_cast<long long>(ms));
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 2 && std::wstring(argv[1]) == L"--list") {
        PrintList();
        return 0;
    }
    if (argc == 3) {
        return CopyDurably(argv[1], argv[2]);
    }
    fwprintf(stderr, L"usage: durable-copy <medium\\> <target\\> | durable-copy --list\n");
    return 2;
}
