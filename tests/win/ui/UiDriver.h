#pragma once
// Drives the program's windows from inside a test on the test's own thread:
// a script of steps runs from a thread timer, also while the test sits in a
// modal window's message loop, and finds windows by class, title and
// caption, reads their texts and clicks their buttons by posted messages.
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <string>
#include <vector>
#include <windows.h>

#include "common/PollUntil.h"
#include "common/WindowText.h"
#include "ui/Application.h"

namespace uidriver {

// Xvfb runs no window manager, and Wine waits two seconds for one each time
// a top-level window it thinks managed hides or goes. Before the display
// driver loads (it reads its options then), the test's windows are made
// unmanaged in the test prefix. Nothing happens on Windows.
inline bool MakeWindowsUnmanagedUnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (ntdll == nullptr || GetProcAddress(ntdll, "wine_get_version") == nullptr) {
        return false;
    }
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver", 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const wchar_t value[] = L"N";
    const bool set =
        RegSetValueExW(key, L"Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                       sizeof(value)) == ERROR_SUCCESS;
    RegCloseKey(key);
    return set;
}
inline const bool kWindowsUnmanaged = MakeWindowsUnmanagedUnderWine();

using testwindows::ClassName;
using testwindows::ComboItem;
using testwindows::HasStyle;
using testwindows::PixelOf;
using testwindows::WindowText;

// The visible top-level windows of the calling thread.
inline std::vector<HWND> ThreadWindows() {
    std::vector<HWND> windows;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            if (IsWindowVisible(window)) {
                reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// The titles of the taskbar buttons this thread's windows have, by the
// shell's rule: a visible top-level window gets one when no window owns it
// (or it asks for one with WS_EX_APPWINDOW) and it is no tool window.
inline std::vector<std::wstring> TaskbarButtons() {
    std::vector<std::wstring> titles;
    for (const HWND window : ThreadWindows()) {
        const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
        const bool owned = GetWindow(window, GW_OWNER) != nullptr;
        if ((exStyle & WS_EX_TOOLWINDOW) == 0 && (!owned || (exStyle & WS_EX_APPWINDOW) != 0)) {
            titles.push_back(WindowText(window));
        }
    }
    return titles;
}

// A visible top-level window of this thread of `className` (and `title`).
inline HWND FindWindowOf(const std::wstring& className,
                         const std::optional<std::wstring>& title = std::nullopt) {
    for (HWND window : ThreadWindows()) {
        if (ClassName(window) == className && (!title || WindowText(window) == *title)) {
            return window;
        }
    }
    return nullptr;
}

// Every descendant window of `parent`, in Z-order.
inline std::vector<HWND> Descendants(HWND parent) {
    std::vector<HWND> children;
    EnumChildWindows(
        parent,
        [](HWND window, LPARAM data) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    return children;
}

// The descendant with window text `text` (and class `className`).
inline HWND FindChild(HWND parent, const std::wstring& text, const wchar_t* className = nullptr) {
    for (HWND child : Descendants(parent)) {
        if (WindowText(child) == text && (className == nullptr || ClassName(child) == className)) {
            return child;
        }
    }
    return nullptr;
}

// The texts of the visible descendants of class `className`, in Z-order.
inline std::vector<std::wstring> VisibleTexts(HWND parent, const std::wstring& className) {
    std::vector<std::wstring> texts;
    for (HWND child : Descendants(parent)) {
        if (ClassName(child) == className && IsWindowVisible(child)) {
            texts.push_back(WindowText(child));
        }
    }
    return texts;
}

// The icon shown by the first icon STATIC among the descendants.
inline HICON IconOf(HWND parent) {
    for (HWND child : Descendants(parent)) {
        if (ClassName(child) == L"Static" &&
            (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            return reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
        }
    }
    return nullptr;
}

inline void Click(HWND button) {
    PostMessageW(button, BM_CLICK, 0, 0);
}

inline void PostKey(HWND window, WPARAM key) {
    PostMessageW(window, WM_KEYDOWN, key, 0);
}

// Handles messages until `done` holds or `timeoutMs` passed; false on timeout.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000) {
    return testwait::PollUntil(done, std::chrono::milliseconds(timeoutMs), [](DWORD leftMs) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, leftMs, QS_ALLINPUT);
        ui::Application().ProcessMessages();
    });
}

inline void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

// Steps run one after the other from a thread timer every few milliseconds;
// a step returning false is tried again at the next tick. After the time
// limit the script fails the test and dismisses whatever window is open, so
// that a broken window never hangs the run.
class Script {
  public:
    explicit Script(DWORD timeoutMs = 8000) : timeoutMs_(timeoutMs) {}
    ~Script() { Stop(); }
    Script(const Script&) = delete;
    Script& operator=(const Script&) = delete;

    Script& Then(std::function<bool()> step) {
        steps_.push_back(std::move(step));
        return *this;
    }
    // A step that waits until `ms` milliseconds after the previous one ended.
    Script& Wait(DWORD ms) {
        steps_.push_back([this, ms] { return GetTickCount64() >= stepStart_ + ms; });
        return *this;
    }
    void Start(UINT period = 15) {
        start_ = stepStart_ = GetTickCount64();
        timer_ = SetTimer(nullptr, 0, period, &Script::Tick);
        Scripts()[timer_] = this;
    }
    bool Done() const { return next_ >= steps_.size(); }
    bool TimedOut() const { return timedOut_; }

  private:
    static std::map<UINT_PTR, Script*>& Scripts() {
        static std::map<UINT_PTR, Script*> scripts;
        return scripts;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
        const auto found = Scripts().find(id);
        if (found != Scripts().end()) {
            found->second->Step();
        }
    }
    void Step() {
        if (running_) {
            return;
        }
        running_ = true;
        if (GetTickCount64() - start_ > timeoutMs_) {
            if (!timedOut_) {
                timedOut_ = true;
                ADD_FAILURE() << "the script timed out at step " << next_;
            }
            Dismiss();
        } else if (!Done() && steps_[next_]()) {
            ++next_;
            stepStart_ = GetTickCount64();
        }
        running_ = false;
        if (Done()) {
            Stop();
        }
    }
    static void Dismiss() {
        for (HWND window : ThreadWindows()) {
            HWND answer = nullptr;
            for (const wchar_t* caption : {L"OK", L"No", L"Отмена"}) {
                if (answer == nullptr) {
                    answer = FindChild(window, caption);
                }
            }
            if (answer != nullptr && IsWindowVisible(answer)) {
                Click(answer);
            } else {
                PostMessageW(window, WM_CLOSE, 0, 0);
            }
        }
    }
    void Stop() {
        if (timer_ != 0) {
            KillTimer(nullptr, timer_);
            Scripts().erase(timer_);
            timer_ = 0;
        }
    }

    std::vector<std::function<bool()>> steps_;
    size_t next_ = 0;
    UINT_PTR timer_ = 0;
    DWORD timeoutMs_;
    ULONGLONG start_ = 0;
    ULONGLONG stepStart_ = 0;
    bool running_ = false;
    bool timedOut_ = false;
};

} // namespace uidriver
