#pragma once
// A main window stand-in for the install run: records what the run does to
// the window.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "common/ScriptedDialogs.h"
#include "install/InstallHost.h"
#include "install/WorkerWait.h"

class FakeHost : public install::IInstallHost {
  public:
    std::wstring PathText() const override { return path; }
    int WindowsIndex() const override { return windowsIndex; }
    bool DriverInstallChecked() const override { return driverChecked; }
    bool IsSisterBrand() const override { return sisterBrand; }
    void ShowPage(install::TWizardPage page) override { pages.push_back(page); }
    void ClearAndShowLog() override {
        log.Clear();
        logShown = true;
    }
    install::IProgressLog& Log() override { return log; }
    void EnableExit() override { exitEnabled = true; }
    void SetCanClose(bool value) override {
        canClose = value;
        canCloseHistory.push_back(value);
    }
    void SetHourglass(bool value) override { hourglass = value; }
    void SetCopyFrom(const std::wstring& value) override { copyFrom = value; }
    void ProcessMessages() override {
        pumpsWithCanClose.push_back(canClose);
        if (onPump) {
            onPump();
        }
    }
    void Close() override { ++closeRequests; }
    void WaitFor(const std::function<void()>& work, const std::function<void()>& tick) override {
        install::RunOnWorker(
            [&] {
                if (onWorker) {
                    onWorker();
                }
                work();
                if (afterWork) {
                    afterWork();
                }
            },
            [this] { ProcessMessages(); }, tick);
    }
    void ShowProgress(uint64_t done, uint64_t total) override { progress.push_back({done, total}); }

    std::wstring path;
    int windowsIndex = 0;
    bool driverChecked = true;
    bool sisterBrand = false;
    RecordingLog log;
    std::vector<install::TWizardPage> pages;
    bool logShown = false;
    bool exitEnabled = false;
    bool canClose = true;
    std::vector<bool> canCloseHistory;
    bool hourglass = false;
    std::wstring copyFrom;
    std::vector<bool> pumpsWithCanClose;
    std::function<void()> onPump;
    // Run on the worker thread of each wait, before and after its work.
    std::function<void()> onWorker;
    std::function<void()> afterWork;
    int closeRequests = 0;
    std::vector<std::pair<uint64_t, uint64_t>> progress; // the taskbar's, in order
};
