#pragma once
// The application object of the user-interface thread: its title (the title
// of the top-level error report), its main form (closing it ends the message
// loop), the message loop itself, the processing of pending messages, the
// top-level error report and the screen cursor.
#include <exception>
#include <functional>
#include <string>
#include <windows.h>

#include "base/Handles.h"

namespace ui {

class TForm;

class TApplication {
  public:
    // The application's title: the taskbar text of the program and the
    // title of the top-level error report.
    std::wstring Title;
    // The main form: when a close request for it is granted the message
    // loop ends. Set by the program after creating it.
    TForm* MainForm = nullptr;
    // Shows the top-level error report. The program sets it (the window
    // layer knows no dialog of its own); unset, an escaped error is only
    // written to the debugger's output.
    std::function<void(const std::wstring& text)> OnErrorReport;

    // The application window: never drawn itself (it has no size), it
    // carries the program's one taskbar button, titled Title. Every form
    // without an owner of its own is owned by it, so that no form, the
    // timed message window or a message box included, adds a button.
    HWND Handle();

    // Shows the taskbar button with the current Title.
    void ShowTaskbarButton();

    // Shows the taskbar button, then runs the message loop until the main
    // form closes (WM_QUIT).
    void Run();
    // Waits for the next message and handles it; false once WM_QUIT came.
    bool HandleMessage();
    // Handles every message waiting in the queue, then returns.
    void ProcessMessages();
    // True after WM_QUIT was taken from the queue.
    bool Terminated() const { return terminated_; }
    int ExitCode() const { return exitCode_; }

    // The top-level error report for an error that escaped a handler: the
    // error's text with the full-stop rule goes to OnErrorReport.
    void HandleException(const std::exception_ptr& error) noexcept;
    void ShowErrorReport(const std::wstring& text) noexcept;
    // Runs `action`; whatever it raises goes to the top-level error report.
    void RunGuarded(const std::function<void()>& action) noexcept;

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Dispatch(MSG& message);
    bool HandleDialogKey(const MSG& message);

    base::UniqueWindow handle_;
    bool terminated_ = false;
    int exitCode_ = 0;
};

TApplication& Application();

// Application().ProcessMessages().
void ProcessMessages();

// The screen cursor: while it is not crDefault every window of the program
// shows it (the hourglass during long work).
enum class TCursor { crDefault, crHourGlass };
TCursor ScreenCursor();
void SetScreenCursor(TCursor cursor);
// Sets the system cursor to the screen cursor's shape now.
void ApplyScreenCursor();

} // namespace ui
