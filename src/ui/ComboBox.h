#pragma once
// A drop-down list (COMBOBOX with CBS_DROPDOWNLIST): the user picks one of
// its items and cannot type.
#include <functional>
#include <string>

#include "ui/Window.h"

namespace ui {

class TComboBox : public TControl {
  public:
    explicit TComboBox(TWindow& parent);

    int Add(const std::wstring& item);
    void Clear();
    // The selected item's index, -1 when none.
    int ItemIndex() const;
    void SetItemIndex(int index);
    // After the user picked another item.
    std::function<void()> OnChange;

  protected:
    bool CommandNotify(WORD code) override;
};

} // namespace ui
