#include "ui/ListBox.h"

#include "base/AppError.h"

using base::AppError;

namespace ui {

namespace {
constexpr int kDefaultItemHeight = 18;
}

TListBox::TListBox(TWindow& parent) : TControl(parent) {
    CreateControl(L"LISTBOX", LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER);
    SetColor(GetSysColor(COLOR_WINDOW));
    SetItemHeight(kDefaultItemHeight);
}

int TListBox::Add(const std::wstring& line) {
    const LRESULT index =
        SendMessageW(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    if (index < 0) {
        throw AppError(L"Cannot add a line to the list.");
    }
    return static_cast<int>(index);
}

std::wstring TListBox::Line(int index) const {
    const LRESULT length = SendMessageW(Handle(), LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0) {
        throw AppError(L"List index out of bounds (" + std::to_wstring(index) + L")");
    }
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(Handle(), LB_GETTEXT, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

void TListBox::SetLine(int index, const std::wstring& line) {
    if (index < 0 || index >= Count()) {
        throw AppError(L"List index out of bounds (" + std::to_wstring(index) + L")");
    }
    const LRESULT selected = SendMessageW(Handle(), LB_GETCURSEL, 0, 0);
    SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
    SendMessageW(Handle(), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    SendMessageW(Handle(), LB_INSERTSTRING, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(line.c_str()));
    if (selected == index) {
        SendMessageW(Handle(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
    SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(Handle(), nullptr, TRUE);
}

int TListBox::Count() const {
    return static_cast<int>(SendMessageW(Handle(), LB_GETCOUNT, 0, 0));
}

void TListBox::Clear() {
    SendMessageW(Handle(), LB_RESETCONTENT, 0, 0);
}

void TListBox::SetItemHeight(int pixels) {
    SendMessageW(Handle(), LB_SETITEMHEIGHT, 0, MAKELPARAM(pixels, 0));
}

int TListBox::ItemHeight() const {
    return static_cast<int>(SendMessageW(Handle(), LB_GETITEMHEIGHT, 0, 0));
}

void TListBox::MakeVisible(int index) {
    const int visible = ItemHeight() > 0 ? ClientHeight() / ItemHeight() : 1;
    const int top = static_cast<int>(SendMessageW(Handle(), LB_GETTOPINDEX, 0, 0));
    if (index < top) {
        SendMessageW(Handle(), LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
    } else if (visible > 0 && index >= top + visible) {
        const int newTop = index - visible + 1;
        SendMessageW(Handle(), LB_SETTOPINDEX, static_cast<WPARAM>(newTop), 0);
    }
}

} // namespace ui
