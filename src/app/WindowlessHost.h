#pragma once
// What a run without a window (/VERYSILENT) has in place of the main window
// and its dialogs: a host that shows nothing, a progress log kept in memory,
// and dialogs nobody answers.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/SessionEnd.h"
#include "install/InstallHost.h"
#include "install/ProgressLog.h"
#include "shared/UserDialogs.h"

namespace app {

// The progress log of a run without a window: lines kept in memory.
class MemoryLog : public install::IProgressLog {
  public:
    int Add(const std::wstring& line) override {
        lines_.push_back(line);
        return static_cast<int>(lines_.size()) - 1;
    }
    std::wstring Line(int index) const override { return lines_.at(index); }
    void SetLine(int index, const std::wstring& line) override { lines_.at(index) = line; }
    void Repaint() override {}
    // The lines stand in for the page's; the cause goes to Install.log.
    void SetCause(int, const std::wstring&) override {}
    void Clear() { lines_.clear(); }

  private:
    std::vector<std::wstring> lines_;
};

// The main window's part in a run that has none.
class WindowlessHost : public install::IInstallHost {
  public:
    explicit WindowlessHost(std::wstring target) : target_(std::move(target)) {}
    std::wstring PathText() const override { return target_; }
    int WindowsIndex() const override { return 0; } // the page's only choice
    bool DriverInstallChecked() const override { return true; }
    bool IsSisterBrand() const override;
    void ShowPage(install::TWizardPage) override {}
    void ClearAndShowLog() override { log_.Clear(); }
    install::IProgressLog& Log() override { return log_; }
    void EnableExit() override {}
    void SetCanClose(bool canClose) override { session_.SetCanClose(canClose); }
    void SetHourglass(bool) override {}
    void SetCopyFrom(const std::wstring&) override {}
    void ProcessMessages() override;
    void Close() override {}
    void WaitFor(const std::function<void()>& work, const std::function<void()>& tick) override;
    void ShowProgress(uint64_t, uint64_t) override {} // no window, no taskbar button

  private:
    std::wstring target_;
    MemoryLog log_;
    TSessionWindow session_; // answers the session's end in place of a main window
};

// Nobody answers a window in a run without questions: an error that ends
// the run is only logged.
class NoDialogs : public shared::IUserDialogs {
  public:
    ui::TModalResult MessageDlg(const std::wstring&, ui::TMsgDlgType, ui::TMsgDlgButtons) override {
        return ui::TModalResult::mrNo;
    }
    std::optional<std::wstring> BrowseForFolder(const std::wstring&) override {
        return std::nullopt;
    }
    bool ShowTimedMessage(const std::wstring&, shared::TMessageType, const std::wstring&,
                          int) override {
        return false;
    }
};

} // namespace app
