#include "ui/Application.h"

#include "base/AppError.h"
#include "base/ErrorText.h"
#include "ui/Button.h"
#include "ui/Form.h"

using base::ErrorText;
using base::WithFullStop;

namespace ui {

namespace {

TCursor g_screenCursor = TCursor::crDefault;

bool KeyDown(int key) {
    return (GetKeyState(key) & 0x8000) != 0;
}

} // namespace

TApplication& Application() {
    static TApplication application;
    return application;
}

void ProcessMessages() {
    Application().ProcessMessages();
}

constexpr wchar_t kApplicationClass[] = L"TApplication";

HWND TApplication::Handle() {
    if (!handle_) {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kApplicationClass;
        windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
        RegisterClassExW(&windowClass); // fails harmlessly when registered already
        handle_.reset(CreateWindowExW(0, kApplicationClass, Title.c_str(),
                                      WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                      GetSystemMetrics(SM_CXSCREEN) / 2,
                                      GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr));
    }
    return handle_.get();
}

// Clicking the taskbar button activates the application window: the window
// the user last worked in (the main form or an open box) takes the
// activation instead.
LRESULT CALLBACK TApplication::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE) {
        const HWND popup = GetLastActivePopup(window);
        if (popup != nullptr && popup != window && IsWindowEnabled(popup)) {
            SetActiveWindow(popup);
            return 0;
        }
    }
    if (message == WM_CLOSE) {
        // Alt+F4 on the button closes the main form, as its close box would.
        if (Application().MainForm != nullptr) {
            PostMessageW(Application().MainForm->Handle(), WM_CLOSE, 0, 0);
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void TApplication::ShowTaskbarButton() {
    SetWindowTextW(Handle(), Title.c_str());
    ShowWindow(Handle(), SW_SHOWNA);
}

void TApplication::Run() {
    ShowTaskbarButton();
    while (!terminated_) {
        HandleMessage();
    }
}

bool TApplication::HandleMessage() {
    MSG message{};
    const BOOL result = GetMessageW(&message, nullptr, 0, 0);
    if (result == 0 || result == -1) {
        terminated_ = true;
        exitCode_ = result == 0 ? static_cast<int>(message.wParam) : 1;
        return false;
    }
    Dispatch(message);
    return true;
}

void TApplication::ProcessMessages() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            terminated_ = true;
            exitCode_ = static_cast<int>(message.wParam);
            return;
        }
        Dispatch(message);
    }
}

void TApplication::Dispatch(MSG& message) {
    if (HandleDialogKey(message)) {
        return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

// The keyboard interface of our forms: Tab and Shift+Tab move the focus in
// tab order, Enter presses the focused button. There are no default or
// cancel buttons, so Esc does nothing.
bool TApplication::HandleDialogKey(const MSG& message) {
    if (message.message != WM_KEYDOWN || message.hwnd == nullptr) {
        return false;
    }
    const HWND root = GetAncestor(message.hwnd, GA_ROOT);
    if (dynamic_cast<TForm*>(TWindow::FromHandle(root)) == nullptr) {
        return false;
    }
    if (message.wParam == VK_TAB && !KeyDown(VK_CONTROL) && !KeyDown(VK_MENU)) {
        const HWND next = GetNextDlgTabItem(root, GetFocus(), KeyDown(VK_SHIFT) ? TRUE : FALSE);
        if (next != nullptr) {
            SetFocus(next);
        }
        return true;
    }
    if (message.wParam == VK_RETURN) {
        auto* button = dynamic_cast<TButton*>(TWindow::FromHandle(GetFocus()));
        if (button != nullptr && button->Enabled()) {
            RunGuarded([button] { button->Click(); });
            return true;
        }
    }
    return false;
}

void TApplication::RunGuarded(const std::function<void()>& action) noexcept {
    try {
        action();
    } catch (...) {
        HandleException(std::current_exception());
    }
}

void TApplication::HandleException(const std::exception_ptr& error) noexcept {
    ShowErrorReport(ErrorText(error));
}

void TApplication::ShowErrorReport(const std::wstring& text) noexcept {
    try {
        if (OnErrorReport) {
            OnErrorReport(WithFullStop(text));
        } else {
            OutputDebugStringW(WithFullStop(text).c_str());
        }
    } catch (...) {
        // The report itself could not be shown (no memory, no window): the
        // program goes on as it would after the report.
    }
}

TCursor ScreenCursor() {
    return g_screenCursor;
}

void SetScreenCursor(TCursor cursor) {
    g_screenCursor = cursor;
    ApplyScreenCursor();
}

void ApplyScreenCursor() {
    SetCursor(LoadCursorW(nullptr, g_screenCursor == TCursor::crHourGlass ? IDC_WAIT : IDC_ARROW));
}

} // namespace ui
