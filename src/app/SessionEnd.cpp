#include "app/SessionEnd.h"

#include "app/CommandLineRun.h"
#include "install/InstallLog.h"

using install::LogSessionEndDuringRun;

namespace app {

LRESULT AnswerQueryEndSession(bool canClose) {
    return canClose ? TRUE : FALSE;
}

void AnswerEndSession(WPARAM ending) {
    if (ending != FALSE && LogSessionEndDuringRun()) {
        // Windows ends the process after this answer anyway; ending it here
        // keeps the copy worker from running on and the exit code from
        // being taken for success.
        TerminateProcess(GetCurrentProcess(), kExitAbandoned);
    }
}

void SetShutdownBlock(HWND window, bool blocked) {
    if (blocked) {
        ShutdownBlockReasonCreate(window, kShutdownBlockReason);
    } else {
        ShutdownBlockReasonDestroy(window);
    }
}

TSessionWindow::TSessionWindow() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kSessionWindowClass;
    RegisterClassExW(&windowClass); // fails harmlessly when registered already
    handle_.reset(CreateWindowExW(0, kSessionWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr));
    if (handle_) {
        SetWindowLongPtrW(handle_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
}

void TSessionWindow::SetCanClose(bool canClose) {
    canClose_ = canClose;
    if (handle_) {
        SetShutdownBlock(handle_.get(), !canClose);
    }
}

LRESULT CALLBACK TSessionWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    const auto* self = reinterpret_cast<TSessionWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_QUERYENDSESSION && self != nullptr) {
        return AnswerQueryEndSession(self->canClose_);
    }
    if (message == WM_ENDSESSION) {
        AnswerEndSession(wParam);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace app
