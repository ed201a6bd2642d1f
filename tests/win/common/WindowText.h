#pragma once
// Reading windows from a test or a tool that drives the program, in this
// process or another one.
#include <algorithm>
#include <string>
#include <windows.h>

namespace testwindows {

// The window's text through WM_GETTEXT, whole, in any process (a control of
// another process answers only through the message).
inline std::wstring WindowText(HWND window) {
    const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied =
        SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(copied));
    return text;
}

// The text as the system keeps it, read without a message: a window busy in
// a long step cannot make the caller wait.
inline std::wstring StoredText(HWND window) {
    wchar_t text[256] = {};
    InternalGetWindowText(window, text, 256);
    return text;
}

// Line `index` of a list through its length and text messages; empty when
// there is none. The program may rewrite the line between the two messages
// (a percentage replaced by the result word, or by the error mark and the
// error's text), so the buffer has room for far more than a rewrite adds.
inline std::wstring ListItemText(HWND control, UINT lengthMessage, UINT textMessage,
                                 LRESULT index) {
    constexpr LRESULT kRoomToGrow = 4096;
    const LRESULT length = SendMessageW(control, lengthMessage, index, 0);
    if (length < 0) { // LB_ERR, CB_ERR
        return {};
    }
    std::wstring text(static_cast<size_t>(length + kRoomToGrow) + 1, L'\0');
    const LRESULT copied =
        SendMessageW(control, textMessage, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(std::clamp<LRESULT>(copied, 0, length + kRoomToGrow)));
    return text;
}

// Line `index` of a list box, in any process.
inline std::wstring ListBoxLine(HWND list, LRESULT index) {
    return ListItemText(list, LB_GETTEXTLEN, LB_GETTEXT, index);
}

// Line `index` of a combo box's list.
inline std::wstring ComboItem(HWND combo, int index) {
    return ListItemText(combo, CB_GETLBTEXTLEN, CB_GETLBTEXT, index);
}

// Whether the window's style has `style` (WS_TABSTOP, WS_VISIBLE, ...).
inline bool HasStyle(HWND window, DWORD style) {
    return (static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)) & style) == style;
}

// The colour of a window's pixel as painted now (the window visible on the
// screen, in this process).
inline COLORREF PixelOf(HWND window, int x, int y) {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    HDC dc = GetDC(window);
    const COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return color;
}

inline std::wstring ClassName(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

} // namespace testwindows
