#pragma once
// A check box (an auto check box BUTTON) with its caption.
#include <functional>
#include <string>

#include "ui/Window.h"

namespace ui {

class TCheckBox : public TControl {
  public:
    TCheckBox(TWindow& parent, const std::wstring& caption = {});

    bool Checked() const;
    void SetChecked(bool checked);
    // After the user changed the state.
    std::function<void()> OnClick;

  protected:
    bool CommandNotify(WORD code) override;
};

} // namespace ui
