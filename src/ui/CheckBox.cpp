#include "ui/CheckBox.h"

namespace ui {

TCheckBox::TCheckBox(TWindow& parent, const std::wstring& caption) : TControl(parent) {
    CreateControl(L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0, caption);
}

bool TCheckBox::Checked() const {
    return SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TCheckBox::SetChecked(bool checked) {
    SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TCheckBox::CommandNotify(WORD code) {
    if (code == BN_CLICKED) {
        if (OnClick) {
            OnClick();
        }
        return true;
    }
    return false;
}

} // namespace ui
