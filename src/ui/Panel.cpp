#include "ui/Panel.h"

using base::SelectedObject;
using base::UniquePen;

namespace ui {

namespace {
const wchar_t kPanelClass[] = L"VestarPanel";
// The rounding of the border's corners, in pixels.
constexpr int kCornerRadius = 8;
} // namespace

TPanel::TPanel(TWindow& parent) : TControl(parent) {
    RegisterClassOnce(kPanelClass, CS_HREDRAW | CS_VREDRAW);
    CreateControl(kPanelClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT);
}

void TPanel::SetBorderWidth(int pixels) {
    borderWidth_ = pixels < 0 ? 0 : pixels;
    Realign();
    Invalidate();
}

void TPanel::SetBorderColor(COLORREF color) {
    borderColor_ = color;
    Invalidate();
}

RECT TPanel::DockArea() const {
    RECT r = TControl::DockArea();
    InflateRect(&r, -borderWidth_, -borderWidth_);
    return r;
}

LRESULT TPanel::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(Handle(), &paint);
        Paint(dc);
        EndPaint(Handle(), &paint);
        return 0;
    }
    return TControl::WndProc(message, wParam, lParam);
}

void TPanel::Paint(HDC dc) const {
    RECT r{};
    GetClientRect(Handle(), &r);
    if (borderWidth_ == 0) {
        FillRect(dc, &r, BackgroundBrush());
        return;
    }
    // The corners outside the rounding show the parent's colour.
    FillRect(dc, &r, Parent() != nullptr ? Parent()->BackgroundBrush() : BackgroundBrush());
    UniquePen pen(CreatePen(PS_INSIDEFRAME, borderWidth_, borderColor_));
    SelectedObject selectedPen(dc, pen.get());
    SelectedObject selectedBrush(dc, BackgroundBrush());
    RoundRect(dc, r.left, r.top, r.right, r.bottom, kCornerRadius, kCornerRadius);
}

} // namespace ui
