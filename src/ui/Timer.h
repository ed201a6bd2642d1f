#pragma once
// A window timer of the user-interface thread: while enabled, OnTimer runs
// every Interval milliseconds from the message loop (also inside modal
// windows). Errors raised by OnTimer reach the top-level error report.
#include <functional>
#include <windows.h>

namespace ui {

class TTimer {
  public:
    explicit TTimer(UINT interval = 1000, bool enabled = false);
    ~TTimer();
    TTimer(const TTimer&) = delete;
    TTimer& operator=(const TTimer&) = delete;

    UINT Interval() const { return interval_; }
    // A new interval restarts a running timer.
    void SetInterval(UINT interval);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    std::function<void()> OnTimer;

  private:
    friend class TTimerWindow;
    void Update();
    void Fire();

    UINT interval_;
    bool enabled_;
};

} // namespace ui
