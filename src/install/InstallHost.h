#pragma once
// What the install run needs of the main window. TFMain implements it;
// tests drive the run with their own host.
#include <cstdint>
#include <functional>
#include <string>

#include "install/ProgressLog.h"

namespace install {

// The wizard's pages, always named, never numbered.
enum class TWizardPage {
    tsStart,
    tsInputPath,
    tsInputComponents,
    tsProgressInstall,
    tsCancel,
    tsChangeFontSize
};

class IInstallHost {
  public:
    virtual ~IInstallHost() = default;

    // Inputs read from the components and path pages.
    virtual std::wstring PathText() const = 0; // the text of ePath, untrimmed
    virtual int WindowsIndex() const = 0;      // CBWindows item index
    virtual bool DriverInstallChecked() const = 0;
    virtual bool IsSisterBrand() const = 0;

    virtual void ShowPage(TWizardPage page) = 0;
    virtual void ClearAndShowLog() = 0;
    virtual IProgressLog& Log() = 0;
    virtual void EnableExit() = 0;
    virtual void SetCanClose(bool canClose) = 0;
    virtual void SetHourglass(bool hourglass) = 0;
    virtual void SetCopyFrom(const std::wstring& sourcePath) = 0; // Fcopyfrom
    virtual void ProcessMessages() = 0;                           // the run's pump points
    virtual void Close() = 0;                                     // a close request

    // Runs `work` on a worker thread while this thread processes the
    // window's messages through ProcessMessages, calling `tick` after them,
    // at least every 100 ms. Returns when `work` has ended, passing on what
    // it raised. RunOnWorker (install/WorkerWait.h) does all of it.
    virtual void WaitFor(const std::function<void()>& work, const std::function<void()>& tick) = 0;
    // The run's progress on the program's taskbar button; `total` 0 removes it.
    virtual void ShowProgress(uint64_t done, uint64_t total) = 0;
};

} // namespace install
