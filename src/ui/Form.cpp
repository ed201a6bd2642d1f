#include "ui/Form.h"

#include "base/AppError.h"
#include "ui/Application.h"

using base::AppError;

namespace ui {

TThreadWindowsDisabled::TThreadWindowsDisabled(HWND keep) : keep_(keep) {
    EnumThreadWindows(GetCurrentThreadId(), &TThreadWindowsDisabled::Disable,
                      reinterpret_cast<LPARAM>(this));
}

TThreadWindowsDisabled::~TThreadWindowsDisabled() {
    for (HWND window : disabled_) {
        if (IsWindow(window)) {
            EnableWindow(window, TRUE);
        }
    }
}

BOOL CALLBACK TThreadWindowsDisabled::Disable(HWND window, LPARAM data) {
    auto* self = reinterpret_cast<TThreadWindowsDisabled*>(data);
    if (window != self->keep_ && IsWindowVisible(window) && IsWindowEnabled(window)) {
        EnableWindow(window, FALSE);
        self->disabled_.push_back(window);
    }
    return TRUE;
}

TForm::TForm(const wchar_t* className, DWORD style, DWORD exStyle, HWND owner) {
    RegisterClassOnce(className, CS_DBLCLKS, LoadIconW(nullptr, IDI_APPLICATION));
    TCreateParams params;
    params.ClassName = className;
    params.Style = (style & ~WS_VISIBLE) | WS_CLIPCHILDREN;
    params.ExStyle = exStyle | WS_EX_CONTROLPARENT;
    params.Left = CW_USEDEFAULT;
    params.Top = CW_USEDEFAULT;
    params.Width = 400;
    params.Height = 300;
    if ((style & WS_POPUP) != 0) {
        params.Left = 0;
        params.Top = 0;
    }
    params.Owner = owner != nullptr ? owner : Application().Handle();
    CreateHandle(params);
}

TForm::~TForm() {
    if (Application().MainForm == this) {
        Application().MainForm = nullptr;
    }
}

void TForm::SetClientSize(int width, int height) {
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongW(Handle(), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(Handle(), GWL_EXSTYLE)));
    SetWindowPos(Handle(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::CenterOnScreen() {
    const int left = (GetSystemMetrics(SM_CXSCREEN) - Width()) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - Height()) / 2;
    SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::SetVisible(bool visible) {
    if (visible == Visible()) {
        return;
    }
    if (visible) {
        if (OnShow) {
            OnShow();
        }
        ShowWindow(Handle(), SW_SHOW);
        FocusFirstControl();
    } else {
        ShowWindow(Handle(), SW_HIDE);
    }
}

void TForm::FocusFirstControl() {
    if (activeControl_ != nullptr && activeControl_->Handle() != nullptr) {
        activeControl_->TakeFocus();
        return;
    }
    if (const HWND first = GetNextDlgTabItem(Handle(), nullptr, FALSE); first != nullptr) {
        SetFocus(first);
    }
}

TModalResult TForm::ShowModal() {
    if (Visible() || modal_) {
        throw AppError(L"Cannot make a visible window modal");
    }
    ReleaseCapture();
    const HWND previousActive = GetActiveWindow();
    modal_ = true;
    modalDone_ = false;
    modalResult_ = TModalResult::mrNone;
    struct ModalEnd {
        TForm& form;
        HWND previousActive;
        ~ModalEnd() {
            form.modal_ = false;
            if (previousActive != nullptr && IsWindow(previousActive)) {
                SetActiveWindow(previousActive);
            }
        }
    } modalEnd{*this, previousActive};
    {
        TThreadWindowsDisabled others(Handle());
        Show();
        while (!modalDone_ && Visible() && !Application().Terminated()) {
            Application().HandleMessage();
        }
        // The other windows come back before this one hides, so that the
        // activation returns to them.
    }
    Hide();
    return modalResult_;
}

void TForm::SetModalResult(TModalResult result) {
    modalResult_ = result;
    if (modal_ && result != TModalResult::mrNone) {
        modalDone_ = true;
    }
}

void TForm::Close() {
    SendMessageW(Handle(), WM_CLOSE, 0, 0);
}

void TForm::HandleCloseRequest() {
    bool canClose = true;
    if (OnCloseQuery) {
        OnCloseQuery(canClose);
    }
    if (!canClose) {
        return;
    }
    if (OnClose) {
        OnClose();
    }
    if (modal_) {
        modalDone_ = true;
    } else if (Application().MainForm == this) {
        Hide();
        PostQuitMessage(0);
    } else {
        Hide();
    }
}

void TForm::BringToFront() {
    SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

LRESULT TForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        HandleCloseRequest();
        return 0;
    }
    // The main form is owned by the application window: minimizing that one
    // hides the main form with every other form and leaves the taskbar
    // button to restore them.
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MINIMIZE &&
        Application().MainForm == this) {
        ShowWindow(Application().Handle(), SW_MINIMIZE);
        return 0;
    }
    return TWindow::WndProc(message, wParam, lParam);
}

} // namespace ui
