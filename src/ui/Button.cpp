#include "ui/Button.h"

#include <vector>

using base::SelectedObject;
using base::UniqueBitmap;
using base::UniqueBrush;
using base::UniqueMemoryDc;
using base::UniquePen;

namespace ui {

namespace {

constexpr int kCornerRadius = 5;
constexpr int kGlyphGap = 5;

std::uint32_t ToRgb(COLORREF color) {
    return (static_cast<std::uint32_t>(GetRValue(color)) << 16) |
           (static_cast<std::uint32_t>(GetGValue(color)) << 8) | GetBValue(color);
}

COLORREF Darker(COLORREF color, int amount) {
    auto down = [amount](int c) { return static_cast<BYTE>(c > amount ? c - amount : 0); };
    return RGB(down(GetRValue(color)), down(GetGValue(color)), down(GetBValue(color)));
}

void RoundFrame(HDC dc, const RECT& r, COLORREF penColor, int penWidth, HBRUSH fill) {
    UniquePen pen(CreatePen(PS_INSIDEFRAME, penWidth, penColor));
    SelectedObject selectedPen(dc, pen.get());
    SelectedObject selectedBrush(dc, fill != nullptr ? static_cast<HGDIOBJ>(fill)
                                                     : GetStockObject(NULL_BRUSH));
    RoundRect(dc, r.left, r.top, r.right, r.bottom, kCornerRadius, kCornerRadius);
}

} // namespace

TButton::TButton(TWindow& parent, const std::wstring& caption) : TControl(parent) {
    CreateControl(L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, caption);
}

TButton::TButton(TWindow& parent, const std::wstring& caption, OwnerDrawn) : TControl(parent) {
    CreateControl(L"BUTTON", BS_OWNERDRAW | WS_TABSTOP, 0, caption);
}

void TButton::Click() {
    if (OnClick) {
        OnClick();
    }
}

bool TButton::CommandNotify(WORD code) {
    if (code == BN_CLICKED) {
        Click();
        return true;
    }
    return false;
}

TGlyphButton::TGlyphButton(TWindow& parent, const std::wstring& caption, TGlyph glyph)
    : TButton(parent, caption, OwnerDrawn{}) {
    SetGlyph(glyph);
}

void TGlyphButton::SetGlyph(TGlyph glyph) {
    if (glyph == TGlyph::None) {
        ClearGlyph();
        return;
    }
    glyph_ = MakeGlyph(glyph, false);
    disabledGlyph_ = MakeGlyph(glyph, true);
    Invalidate();
}

void TGlyphButton::SetGlyph(const TImageList& images, int index, int disabledIndex) {
    glyph_ = images[index];
    disabledGlyph_ = images[disabledIndex];
    Invalidate();
}

void TGlyphButton::ClearGlyph() {
    glyph_.reset();
    disabledGlyph_.reset();
    Invalidate();
}

void TGlyphButton::SetButtonStyle(const TButtonStyle& style) {
    style_ = style;
    Invalidate();
}

LRESULT TGlyphButton::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOUSEMOVE:
        if (!hot_) {
            hot_ = true;
            TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, Handle(), 0};
            TrackMouseEvent(&track);
            Invalidate();
        }
        break;
    case WM_MOUSELEAVE:
        hot_ = false;
        Invalidate();
        break;
    case WM_LBUTTONDBLCLK:
        // An owner-drawn button would report a double click instead of a
        // second click.
        return DefaultProc(WM_LBUTTONDOWN, wParam, lParam);
    default:
        break;
    }
    return TButton::WndProc(message, wParam, lParam);
}

bool TGlyphButton::DrawItem(const DRAWITEMSTRUCT& item) {
    const int width = item.rcItem.right - item.rcItem.left;
    const int height = item.rcItem.bottom - item.rcItem.top;
    if (width <= 0 || height <= 0) {
        return true;
    }
    UniqueMemoryDc memory(CreateCompatibleDC(item.hDC));
    UniqueBitmap bitmap(CreateCompatibleBitmap(item.hDC, width, height));
    if (!memory || !bitmap) {
        Paint(item.hDC, item.rcItem, item.itemState);
        return true;
    }
    {
        SelectedObject selected(memory.get(), bitmap.get());
        Paint(memory.get(), RECT{0, 0, width, height}, item.itemState);
        BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, width, height, memory.get(), 0, 0,
               SRCCOPY);
    }
    return true;
}

void TGlyphButton::Paint(HDC dc, const RECT& r, UINT state) const {
    const bool enabled = (state & ODS_DISABLED) == 0;
    const bool pressed = (state & ODS_SELECTED) != 0;
    const bool focused = (state & ODS_FOCUS) != 0;

    FillRect(dc, &r, Parent() != nullptr ? Parent()->BackgroundBrush() : BackgroundBrush());
    const COLORREF face = pressed ? Darker(style_.Face, 18) : style_.Face;
    UniqueBrush faceBrush(CreateSolidBrush(face));
    RoundFrame(dc, r, style_.Frame, 1, faceBrush.get());
    if (enabled && hot_) {
        const RECT inner{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
        RoundFrame(dc, inner, style_.HotTrack, 2, nullptr);
    } else if (enabled && focused) {
        const RECT inner{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
        RoundFrame(dc, inner, style_.Highlight, 1, nullptr);
    }

    const std::wstring caption = Caption();
    SelectedObject font(dc, Font().Handle());
    SIZE text{};
    GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &text);
    const std::optional<Image32>& glyph = enabled ? glyph_ : disabledGlyph_;
    const int glyphWidth = glyph ? kGlyphSize + (caption.empty() ? 0 : kGlyphGap) : 0;
    const int offset = pressed ? 1 : 0;
    int left = r.left + (r.right - r.left - glyphWidth - text.cx) / 2 + offset;
    if (glyph) {
        PaintGlyph(dc, left, r.top + (r.bottom - r.top - kGlyphSize) / 2 + offset, enabled, face);
        left += glyphWidth;
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, enabled ? FontColor() : GetSysColor(COLOR_GRAYTEXT));
    TextOutW(dc, left, r.top + (r.bottom - r.top - text.cy) / 2 + offset, caption.c_str(),
             static_cast<int>(caption.size()));
    if (focused && (state & ODS_NOFOCUSRECT) == 0) {
        RECT focus{r.left + 4, r.top + 4, r.right - 4, r.bottom - 4};
        SetTextColor(dc, RGB(0, 0, 0));
        DrawFocusRect(dc, &focus);
    }
}

void TGlyphButton::PaintGlyph(HDC dc, int left, int top, bool enabled, COLORREF face) const {
    const Image32& glyph = enabled ? *glyph_ : *disabledGlyph_;
    std::vector<std::uint32_t> pixels(glyph.pixels.size());
    const std::uint32_t background = ToRgb(face);
    for (size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = BlendOver(glyph.pixels[i], background);
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = glyph.width;
    info.bmiHeader.biHeight = -glyph.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, left, top, static_cast<DWORD>(glyph.width),
                      static_cast<DWORD>(glyph.height), 0, 0, 0, static_cast<UINT>(glyph.height),
                      pixels.data(), &info, DIB_RGB_COLORS);
}

} // namespace ui
