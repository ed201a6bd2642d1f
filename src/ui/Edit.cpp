#include "ui/Edit.h"

using base::UniqueBrush;

namespace ui {

TEdit::TEdit(TWindow& parent, const std::wstring& text) : TControl(parent) {
    CreateControl(L"EDIT", ES_AUTOHSCROLL | ES_LEFT | WS_TABSTOP, WS_EX_CLIENTEDGE, text);
    SetColor(GetSysColor(COLOR_WINDOW));
}

void TEdit::SetReadOnly(bool readOnly) {
    SendMessageW(Handle(), EM_SETREADONLY, readOnly ? TRUE : FALSE, 0);
}

void TEdit::SetFrameColor(std::optional<COLORREF> color) {
    frameColor_ = color;
    LONG exStyle = GetWindowLongW(Handle(), GWL_EXSTYLE) & ~WS_EX_CLIENTEDGE;
    LONG style = GetWindowLongW(Handle(), GWL_STYLE);
    style = color ? (style | WS_BORDER) : (style & ~WS_BORDER);
    SetWindowLongW(Handle(), GWL_EXSTYLE, exStyle);
    SetWindowLongW(Handle(), GWL_STYLE, style);
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

LRESULT TEdit::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCPAINT && frameColor_) {
        const LRESULT result = DefaultProc(message, wParam, lParam);
        HDC dc = GetWindowDC(Handle());
        if (dc != nullptr) {
            RECT r{0, 0, Width(), Height()};
            UniqueBrush frame(CreateSolidBrush(*frameColor_));
            FrameRect(dc, &r, frame.get());
            ReleaseDC(Handle(), dc);
        }
        return result;
    }
    return TControl::WndProc(message, wParam, lParam);
}

bool TEdit::CommandNotify(WORD code) {
    if (code == EN_CHANGE && OnChange) {
        OnChange();
        return true;
    }
    return false;
}

TMemo::TMemo(TWindow& parent) : TControl(parent) {
    CreateControl(L"EDIT", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_LEFT | WS_TABSTOP);
    SetColor(GetSysColor(COLOR_WINDOW));
}

void TMemo::SetLines(const std::vector<std::wstring>& lines) {
    std::wstring text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i != 0) {
            text += L"\r\n";
        }
        text += lines[i];
    }
    SetCaption(text);
}

std::vector<std::wstring> TMemo::Lines() const {
    std::vector<std::wstring> lines;
    const std::wstring text = Caption();
    size_t start = 0;
    while (true) {
        const size_t end = text.find(L"\r\n", start);
        lines.push_back(text.substr(start, end == std::wstring::npos ? end : end - start));
        if (end == std::wstring::npos) {
            break;
        }
        start = end + 2;
    }
    if (text.empty()) {
        lines.clear();
    }
    return lines;
}

void TMemo::SetReadOnly(bool readOnly) {
    SendMessageW(Handle(), EM_SETREADONLY, readOnly ? TRUE : FALSE, 0);
}

void TMemo::SetBorder(bool border) {
    LONG style = GetWindowLongW(Handle(), GWL_STYLE);
    style = border ? (style | WS_BORDER) : (style & ~WS_BORDER);
    SetWindowLongW(Handle(), GWL_STYLE, style);
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

} // namespace ui
