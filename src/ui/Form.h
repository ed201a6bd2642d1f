#pragma once
// A top-level window of the program (the main window, the timed message
// window, the progress window, the message dialog). The derived class gives
// its window class name (the name outside drivers look for, such as
// "TFMain"), its styles and its size, and creates its controls as members
// after the form:
//
//     class TFAbout : public TForm {
//     public:
//         TFAbout() : TForm(L"TFAbout", kSingleFrameStyle) {
//             SetClientSize(300, 100);
//             btnOK.OnClick = [this] { btnOKClick(btnOK); };
//         }
//         TButton btnOK{*this, L"OK"};
//     };
//
// Close() (and the close box, Alt+F4, the system menu) asks OnCloseQuery,
// then runs OnClose; a modal form then ends its ShowModal, the main form
// ends the program's message loop, any other form hides.
#include <functional>
#include <vector>

#include "ui/ModalResult.h"
#include "ui/Window.h"

namespace ui {

// Frame styles of forms.
constexpr DWORD kSizeableFrameStyle = WS_OVERLAPPEDWINDOW;
constexpr DWORD kSingleFrameStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr DWORD kDialogFrameStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
// A fixed frame with a title bar but no system menu or buttons.
constexpr DWORD kFixedNoIconsFrameStyle = WS_OVERLAPPED | WS_CAPTION;

// Disables every visible, enabled top-level window of the thread except
// `keep` while it lives: the windows a modal window shuts out.
class TThreadWindowsDisabled {
  public:
    explicit TThreadWindowsDisabled(HWND keep);
    ~TThreadWindowsDisabled();
    TThreadWindowsDisabled(const TThreadWindowsDisabled&) = delete;
    TThreadWindowsDisabled& operator=(const TThreadWindowsDisabled&) = delete;

  private:
    static BOOL CALLBACK Disable(HWND window, LPARAM data);
    HWND keep_;
    std::vector<HWND> disabled_;
};

class TForm : public TWindow {
  public:
    ~TForm() override;

    void SetClientSize(int width, int height);
    void CenterOnScreen();

    // Shows the form (OnShow runs first when it was hidden) or hides it.
    void SetVisible(bool visible) override;
    // Shows the form modally: every other window of the thread is disabled
    // until the form closes or a modal result is set. Returns that result
    // (mrNone when the form was closed otherwise).
    TModalResult ShowModal();
    // Ends a modal showing with `result` (mrNone does nothing).
    void SetModalResult(TModalResult result);
    TModalResult ModalResult() const { return modalResult_; }

    // The close request (same as the close box).
    void Close();

    // Brings the window before its peers (a stay-on-top form before the
    // other stay-on-top windows) without activating it.
    void BringToFront();
    // The control that gets the focus when the form opens (else the first
    // control in tab order).
    void SetActiveControl(TWindow* control) { activeControl_ = control; }

    std::function<void()> OnShow;
    // Set the argument to false to refuse a close request.
    std::function<void(bool& canClose)> OnCloseQuery;
    std::function<void()> OnClose;

  protected:
    TForm(const wchar_t* className, DWORD style, DWORD exStyle = 0, HWND owner = nullptr);
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void HandleCloseRequest();
    void FocusFirstControl();

    bool modal_ = false;
    bool modalDone_ = false;
    TModalResult modalResult_ = TModalResult::mrNone;
    TWindow* activeControl_ = nullptr;
};

} // namespace ui
