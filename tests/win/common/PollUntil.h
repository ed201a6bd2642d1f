#pragma once
// Waiting for what another thread or process brings about, where there is
// no handle to wait on: the one poll-until loop of the tests and the tools.
#include <algorithm>
#include <chrono>
#include <functional>

#include <windows.h>

namespace testwait {

// What happens between two tries, given the milliseconds left.
using Pause = std::function<void(DWORD)>;

// A sleep of at most `sliceMs` between tries.
inline Pause Sleeping(DWORD sliceMs) {
    return [sliceMs](DWORD leftMs) { Sleep(std::min(leftMs, sliceMs)); };
}

// Tries `done` until it holds or `timeout` has passed, calling `pause`
// between tries; true when `done` held.
inline bool PollUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout,
                      const Pause& pause = Sleeping(10)) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeout.count());
    while (!done()) {
        const ULONGLONG now = GetTickCount64();
        if (now >= end) {
            return false;
        }
        pause(static_cast<DWORD>(end - now));
    }
    return true;
}

} // namespace testwait
