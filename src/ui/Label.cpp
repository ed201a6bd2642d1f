#include "ui/Label.h"

using base::SelectedObject;
using base::WindowDc;

namespace ui {

TLabel::TLabel(TWindow& parent, const std::wstring& caption) : TControl(parent) {
    CreateControl(L"STATIC", SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, caption);
}

void TLabel::SetAlignment(TAlignment alignment) {
    alignment_ = alignment;
    ApplyStyle();
}

void TLabel::SetWordWrap(bool wordWrap) {
    wordWrap_ = wordWrap;
    ApplyStyle();
    AdjustSize();
}

void TLabel::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    AdjustSize();
}

void TLabel::ApplyStyle() {
    DWORD type = SS_LEFT;
    if (alignment_ == TAlignment::taCenter) {
        type = SS_CENTER;
    } else if (alignment_ == TAlignment::taRightJustify) {
        type = SS_RIGHT;
    } else if (!wordWrap_) {
        type = SS_LEFTNOWORDWRAP;
    }
    LONG style = GetWindowLongW(Handle(), GWL_STYLE);
    style = (style & ~(SS_TYPEMASK | SS_EDITCONTROL)) | static_cast<LONG>(type);
    if (wordWrap_) {
        style |= SS_EDITCONTROL;
    }
    SetWindowLongW(Handle(), GWL_STYLE, style);
    Invalidate();
}

SIZE TLabel::MeasureText(int width) const {
    std::wstring text = Caption();
    if (text.empty()) {
        text = L" ";
    }
    WindowDc screen(Handle());
    SelectedObject font(screen.get(), Font().Handle());
    RECT r{0, 0, wordWrap_ ? width : 0, 0};
    UINT flags = DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS;
    if (wordWrap_) {
        flags |= DT_WORDBREAK | DT_EDITCONTROL;
    }
    DrawTextW(screen.get(), text.c_str(), static_cast<int>(text.size()), &r, flags);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

void TLabel::AdjustSize() {
    if (!autoSize_ || Handle() == nullptr) {
        return;
    }
    const SIZE size = MeasureText(ClientWidth());
    const int width = wordWrap_ ? Width() : size.cx;
    if (width != Width() || size.cy != Height()) {
        SetBounds(Left(), Top(), width, size.cy);
    }
}

void TLabel::Resized() {
    AdjustSize();
    TControl::Resized();
}

} // namespace ui
