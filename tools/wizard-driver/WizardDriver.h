#pragma once
// Drives a running Install.exe from another process, as a person or a
// screen reader would see it: top-level windows by title, controls by their
// window text, clicks by BM_CLICK.
#include <chrono>
#include <optional>
#include <string>
#include <vector>
#include <windows.h>

#include "base/Handles.h"
#include "common/WindowText.h"

namespace wizard {

using namespace std::chrono_literals;

struct DialogInfo {
    HWND window = nullptr;
    std::wstring title;
    std::wstring text; // the texts of its static controls, joined by '\n'
};

class WizardDriver {
  public:
    // Starts the program in `workingDir`, by default its own directory.
    void Launch(const std::wstring& exePath, const std::wstring& workingDir = {},
                const std::wstring& arguments = {});
    ~WizardDriver();

    HWND MainWindow() const { return main_; }
    DWORD ProcessId() const { return processId_; }
    HANDLE ProcessHandle() const { return process_.get(); }

    // Waits for the main window to appear ("Установка комплекса").
    void WaitForMainWindow(std::chrono::milliseconds timeout = 30s);

    // The visible control of the main window with this window text.
    HWND FindVisibleControl(const std::wstring& text, const wchar_t* className = nullptr) const;
    HWND WaitForVisibleControl(const std::wstring& text, std::chrono::milliseconds timeout = 20s);
    HWND FindVisibleByClass(const wchar_t* className) const;

    // Clicks the visible button with this caption (posted, so that a modal
    // window it opens does not block the driver).
    void Click(const std::wstring& caption);
    static void ClickWindow(HWND button);

    // The visible edit field's text, and typing a new one.
    // From the welcome page to the components page with `target` as the
    // path, the components warning answered "OK"; gives the "Начать
    // установку" button, not yet clicked.
    HWND WalkToComponents(const std::wstring& target);
    std::wstring PathText() const;
    void SetPathText(const std::wstring& text);

    // A top-level window of the program with this title (empty title:
    // the timed message window), other than the main window.
    std::optional<DialogInfo> FindDialog(const std::wstring& title) const;
    DialogInfo WaitForDialog(const std::wstring& title, std::chrono::milliseconds timeout = 30s);
    // Presses the button with `caption` in the dialog and waits until it closes.
    void Answer(const DialogInfo& dialog, const std::wstring& caption);
    bool DialogOpen(const std::wstring& title) const { return FindDialog(title).has_value(); }

    // The lines of the visible list box (the progress log).
    std::vector<std::wstring> LogLines() const;

    // Waits until the program has ended; its exit code, or nothing on timeout.
    std::optional<DWORD> WaitForExit(std::chrono::milliseconds timeout);
    bool Running() const;

    // The program's visible top-level windows with their titles and texts.
    std::wstring DescribeWindows() const;

    // Lets the program process what was sent.
    void Settle(std::chrono::milliseconds pause = 300ms) const;

  private:
    base::UniqueHandle process_;
    DWORD processId_ = 0;
    HWND main_ = nullptr;
};

using testwindows::ClassName;
using testwindows::ListBoxLine;
using testwindows::WindowText;

// Saves the window's screen area as a PNG file.
void SaveScreenShot(HWND window, const std::wstring& path);

} // namespace wizard
