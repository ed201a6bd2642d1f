#pragma once
// A drawing surface that shows a 32-bit pixel buffer (0xAARRGGBB, top-down
// rows; alpha ignored). The buffer is the surface's off-screen copy: it is
// written while nothing is shown and then shown by a single repaint, so no
// half-drawn state is ever visible. The area outside the buffer shows the
// surface's colour.
//
// As a background under sibling controls, call SendToBack() once they exist
// (new children are placed below the older ones).
#include "ui/Window.h"
#include "ui/portable/Image32.h"

namespace ui {

class TPixelSurface : public TControl {
  public:
    explicit TPixelSurface(TWindow& parent);

    // The buffer itself, for drawing in place; Present() shows it.
    Image32& Buffer() { return buffer_; }
    const Image32& Buffer() const { return buffer_; }
    // Shows the buffer now with one repaint.
    void Present();

  protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool EraseBackground(HDC) override { return true; }

  private:
    void Paint(HDC dc, const RECT& area) const;

    Image32 buffer_;
};

} // namespace ui
