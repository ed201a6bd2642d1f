#pragma once
// Buttons: a plain push button (TButton) and the wizard's owner-drawn button
// with a 16 x 16 glyph (TGlyphButton). The caption is the window text; the
// click runs OnClick.
#include <functional>
#include <optional>
#include <string>

#include "ui/Window.h"
#include "ui/portable/Glyphs.h"

namespace ui {

class TButton : public TControl {
  public:
    TButton(TWindow& parent, const std::wstring& caption = {});

    // Runs OnClick, whether or not the button is visible or enabled (the
    // programmatic click).
    void Click();
    std::function<void()> OnClick;

  protected:
    struct OwnerDrawn {};
    TButton(TWindow& parent, const std::wstring& caption, OwnerDrawn);
    bool CommandNotify(WORD code) override;
};

// The look of the glyph buttons.
struct TButtonStyle {
    COLORREF Face = RGB(244, 244, 240);
    COLORREF Frame = RGB(0, 60, 116);
    COLORREF HotTrack = RGB(255, 199, 60);   // frame accent while the pointer is over it
    COLORREF Highlight = RGB(106, 141, 244); // inner line while it has the focus
};

class TGlyphButton : public TButton {
  public:
    TGlyphButton(TWindow& parent, const std::wstring& caption = {}, TGlyph glyph = TGlyph::None);

    // A glyph of the built-in set (its greyed variant for the disabled state).
    void SetGlyph(TGlyph glyph);
    // A glyph from an image list: `index` enabled, `disabledIndex` disabled.
    void SetGlyph(const TImageList& images, int index, int disabledIndex);
    void ClearGlyph();

    void SetButtonStyle(const TButtonStyle& style);

  protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool DrawItem(const DRAWITEMSTRUCT& item) override;

  private:
    void Paint(HDC dc, const RECT& r, UINT state) const;
    void PaintGlyph(HDC dc, int left, int top, bool enabled, COLORREF face) const;

    TButtonStyle style_;
    std::optional<Image32> glyph_;
    std::optional<Image32> disabledGlyph_;
    bool hot_ = false;
};

} // namespace ui
