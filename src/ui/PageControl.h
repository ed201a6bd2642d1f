#pragma once
// A page control whose tabs are hidden: its pages (TTabSheet) fill it and
// exactly one of them is shown, switched by ShowPage. Pages take the page
// control's colour unless given their own.
#include <functional>
#include <vector>

#include "ui/Panel.h"

namespace ui {

class TTabSheet;

class TPageControl : public TControl {
  public:
    explicit TPageControl(TWindow& parent);

    // Shows `page` and hides the one shown before; then runs the page's
    // OnShow. Showing the page already shown does nothing.
    void ShowPage(TTabSheet& page);

  protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    friend class TTabSheet;
    std::vector<TTabSheet*> pages_;
    TTabSheet* active_ = nullptr;
};

class TTabSheet : public TPanel {
  public:
    explicit TTabSheet(TPageControl& pageControl);
    ~TTabSheet() override;

    TPageControl& PageControl() const { return pageControl_; }
    // Runs each time the page becomes the shown page.
    std::function<void()> OnShow;

  private:
    TPageControl& pageControl_;
};

} // namespace ui
