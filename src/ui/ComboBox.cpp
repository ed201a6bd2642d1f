#include "ui/ComboBox.h"

#include "base/AppError.h"

using base::AppError;

namespace ui {

TComboBox::TComboBox(TWindow& parent) : TControl(parent) {
    CreateControl(L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP);
    SetColor(GetSysColor(COLOR_WINDOW));
}

int TComboBox::Add(const std::wstring& item) {
    const LRESULT index =
        SendMessageW(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    if (index < 0) {
        throw AppError(L"Cannot add an item to the list.");
    }
    return static_cast<int>(index);
}

void TComboBox::Clear() {
    SendMessageW(Handle(), CB_RESETCONTENT, 0, 0);
}

int TComboBox::ItemIndex() const {
    return static_cast<int>(SendMessageW(Handle(), CB_GETCURSEL, 0, 0));
}

void TComboBox::SetItemIndex(int index) {
    SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

bool TComboBox::CommandNotify(WORD code) {
    if (code == CBN_SELCHANGE) {
        if (OnChange) {
            OnChange();
        }
        return true;
    }
    return false;
}

} // namespace ui
