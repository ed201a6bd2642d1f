#pragma once
// Reading windows from a test or a tool that drives the program, in this
// process or another one.
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

// Line `index` of a combo box's list, through CB_GETLBTEXT.
inline std::wstring ComboItem(HWND combo, int index) {
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR) {
        return {};
    }
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
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
