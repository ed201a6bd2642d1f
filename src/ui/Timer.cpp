#include "ui/Timer.h"

#include <unordered_map>

#include "ui/Window.h"

namespace ui {

namespace {
// Set once the timer window is gone at the end of the program, so that a
// timer released later does not reach for it.
bool g_timerWindowGone = false;
} // namespace

// The hidden message-only window that receives the thread's WM_TIMER for
// every TTimer (the timer's id is its address).
class TTimerWindow : public TWindow {
  public:
    TTimerWindow() {
        RegisterClassOnce(L"VestarTimerWindow");
        TCreateParams params;
        params.ClassName = L"VestarTimerWindow";
        params.Owner = HWND_MESSAGE;
        CreateHandle(params);
    }
    ~TTimerWindow() override { g_timerWindowGone = true; }

    static TTimerWindow& Instance() {
        static TTimerWindow window;
        return window;
    }

    std::unordered_map<UINT_PTR, TTimer*> timers;

  protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_TIMER) {
            const auto found = timers.find(wParam);
            if (found != timers.end()) {
                found->second->Fire();
            }
            return 0;
        }
        return TWindow::WndProc(message, wParam, lParam);
    }
};

namespace {
UINT_PTR IdOf(const TTimer* timer) {
    return reinterpret_cast<UINT_PTR>(timer);
}
} // namespace

TTimer::TTimer(UINT interval, bool enabled) : interval_(interval), enabled_(enabled) {
    TTimerWindow::Instance().timers[IdOf(this)] = this;
    Update();
}

TTimer::~TTimer() {
    if (g_timerWindowGone) {
        return;
    }
    TTimerWindow& window = TTimerWindow::Instance();
    KillTimer(window.Handle(), IdOf(this));
    window.timers.erase(IdOf(this));
}

void TTimer::SetInterval(UINT interval) {
    interval_ = interval;
    Update();
}

void TTimer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Update();
}

void TTimer::Update() {
    if (g_timerWindowGone) {
        return;
    }
    const HWND window = TTimerWindow::Instance().Handle();
    KillTimer(window, IdOf(this));
    if (enabled_ && interval_ > 0) {
        SetTimer(window, IdOf(this), interval_, nullptr);
    }
}

void TTimer::Fire() {
    if (enabled_ && OnTimer) {
        OnTimer();
    }
}

} // namespace ui
