#include "ui/PageControl.h"

#include <algorithm>

namespace ui {

namespace {
const wchar_t kPageControlClass[] = L"VestarPageControl";
}

TPageControl::TPageControl(TWindow& parent) : TControl(parent) {
    RegisterClassOnce(kPageControlClass);
    CreateControl(kPageControlClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT);
}

void TPageControl::ShowPage(TTabSheet& page) {
    if (active_ == &page) {
        return;
    }
    TTabSheet* previous = active_;
    active_ = &page;
    page.Show();
    if (previous != nullptr) {
        // The focus must not stay on a hidden page.
        const HWND focus = GetFocus();
        const bool focusOnPrevious =
            focus != nullptr && (focus == previous->Handle() || IsChild(previous->Handle(), focus));
        previous->Hide();
        if (focusOnPrevious) {
            SetFocus(Handle());
        }
    }
    if (page.OnShow) {
        page.OnShow();
    }
}

LRESULT TPageControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(Handle(), &paint);
        FillRect(dc, &paint.rcPaint, BackgroundBrush());
        EndPaint(Handle(), &paint);
        return 0;
    }
    return TControl::WndProc(message, wParam, lParam);
}

TTabSheet::TTabSheet(TPageControl& pageControl) : TPanel(pageControl), pageControl_(pageControl) {
    Hide();
    SetAlign(TAlign::alClient);
    pageControl.pages_.push_back(this);
}

TTabSheet::~TTabSheet() {
    auto& pages = pageControl_.pages_;
    pages.erase(std::remove(pages.begin(), pages.end(), this), pages.end());
    if (pageControl_.active_ == this) {
        pageControl_.active_ = nullptr;
    }
}

} // namespace ui
