#pragma once
// A panel: a plain container of controls painted in its colour, optionally
// with a flat rounded border. Without a border it also serves as a spacer.
#include <type_traits>

#include "ui/Window.h"

namespace ui {

class TPanel : public TControl {
  public:
    explicit TPanel(TWindow& parent);
    // A panel inside another panel or a page (which the copy constructor
    // would otherwise claim).
    template <typename Parent>
    requires std::is_base_of_v<TWindow, Parent>
    explicit TPanel(Parent& parent) : TPanel(static_cast<TWindow&>(parent)) {}

    // The width of the flat rounded border in pixels (0: none). Docked
    // children keep inside it.
    void SetBorderWidth(int pixels);
    int BorderWidth() const { return borderWidth_; }
    void SetBorderColor(COLORREF color);

  protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool EraseBackground(HDC) override { return true; }
    RECT DockArea() const override;

  private:
    void Paint(HDC dc) const;

    int borderWidth_ = 0;
    COLORREF borderColor_ = RGB(0, 60, 116);
};

} // namespace ui
