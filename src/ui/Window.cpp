#include "ui/Window.h"

#include <algorithm>
#include <commctrl.h>
#include <set>

#include "base/AppError.h"
#include "ui/Application.h"

using base::AppError;
using base::UniqueWindow;

namespace ui {

namespace {

const wchar_t kWindowProperty[] = L"Vestar.Window";
const wchar_t kDefaultFontName[] = L"Tahoma";
constexpr int kDefaultFontHeight = 13;

TFontRef DefaultFont() {
    static const TFontRef font = MakeFont(TFontSpec{kDefaultFontName, kDefaultFontHeight});
    return font;
}

// The instance that registers our window classes: the module of this code.
HINSTANCE CodeModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&CodeModule), &module);
    return module;
}

// The sort key of a docked child: smaller keys lie outermost.
int DockKey(TAlign align, const RECT& r) {
    switch (align) {
    case TAlign::alTop:
        return r.top;
    case TAlign::alBottom:
        return -r.bottom;
    case TAlign::alLeft:
        return r.left;
    case TAlign::alRight:
        return -r.right;
    default:
        return 0;
    }
}

RECT BoundsInParent(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    const HWND parent = GetParent(window);
    if (parent != nullptr && (GetWindowLongW(window, GWL_STYLE) & WS_CHILD) != 0) {
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    }
    return r;
}

} // namespace

TWindow::TWindow() : font_(DefaultFont()) {}

TWindow::TWindow(TWindow& parent) : parent_(&parent), font_(parent.font_) {
    parent.children_.push_back(this);
}

TWindow::~TWindow() {
    for (TWindow* child : children_) {
        child->parent_ = nullptr;
    }
    if (parent_ != nullptr) {
        parent_->ChildGone(this);
    }
    if (handle_) {
        DestroyWindow(handle_.get()); // WM_NCDESTROY detaches
        handle_.release();
    }
}

// The siblings are not placed again: while a form is taken apart, placing
// them would run resize handlers of a half-destroyed form.
void TWindow::ChildGone(TWindow* child) {
    children_.erase(std::remove(children_.begin(), children_.end(), child), children_.end());
}

TWindow* TWindow::FromHandle(HWND window) {
    if (window == nullptr) {
        return nullptr;
    }
    return static_cast<TWindow*>(GetPropW(window, kWindowProperty));
}

void TWindow::RegisterClassOnce(const wchar_t* className, UINT classStyle, HICON icon) {
    static std::set<std::wstring> registered;
    if (registered.count(className) != 0) {
        return;
    }
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = classStyle;
    wc.lpfnWndProc = &TWindow::StaticWndProc;
    wc.hInstance = CodeModule();
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = icon;
    wc.lpszClassName = className;
    if (RegisterClassExW(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        throw AppError(L"Cannot register the window class " + std::wstring(className) + L".");
    }
    registered.insert(className);
}

void TWindow::CreateHandle(const TCreateParams& params) {
    WNDCLASSEXW info{};
    info.cbSize = sizeof(info);
    const bool ownClass = GetClassInfoExW(CodeModule(), params.ClassName, &info) != 0 &&
                          info.lpfnWndProc == &TWindow::StaticWndProc;
    const HWND parentWindow = parent_ != nullptr ? parent_->Handle() : params.Owner;
    // Children get an id of their own (their parents' notifications carry it).
    static UINT_PTR nextChildId = 1000;
    const HMENU id =
        (params.Style & WS_CHILD) != 0 ? reinterpret_cast<HMENU>(nextChildId++) : nullptr;
    const HWND window = CreateWindowExW(
        params.ExStyle, params.ClassName, params.Caption.c_str(), params.Style, params.Left,
        params.Top, params.Width, params.Height, parentWindow, id,
        ownClass ? CodeModule() : GetModuleHandleW(nullptr), ownClass ? this : nullptr);
    if (window == nullptr) {
        throw AppError(L"Cannot create a window of class " + std::wstring(params.ClassName) + L".");
    }
    if (!ownClass) {
        Attach(window);
        subclassed_ = true;
        SetWindowSubclass(window, &TWindow::SubclassProc, 1, reinterpret_cast<DWORD_PTR>(this));
    }
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_->Handle()), FALSE);
    if (parent_ != nullptr && align_ != TAlign::alNone) {
        parent_->Realign();
    }
}

void TWindow::Attach(HWND window) {
    handle_.reset();
    handle_ = UniqueWindow(window);
    SetPropW(window, kWindowProperty, this);
}

void TWindow::Detach() {
    const HWND window = handle_.release();
    if (window != nullptr) {
        RemovePropW(window, kWindowProperty);
        if (subclassed_) {
            RemoveWindowSubclass(window, &TWindow::SubclassProc, 1);
        }
    }
}

LRESULT CALLBACK TWindow::StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TWindow* self = FromHandle(window);
    if (self == nullptr && message == WM_NCCREATE) {
        self = static_cast<TWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        if (self != nullptr) {
            self->Attach(window);
        }
    }
    if (self == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        const LRESULT result = DefWindowProcW(window, message, wParam, lParam);
        self->Detach();
        return result;
    }
    return self->Dispatch(message, wParam, lParam);
}

LRESULT CALLBACK TWindow::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR, DWORD_PTR data) {
    TWindow* self = reinterpret_cast<TWindow*>(data);
    if (message == WM_NCDESTROY) {
        self->Detach();
        return DefSubclassProc(window, message, wParam, lParam);
    }
    return self->Dispatch(message, wParam, lParam);
}

// The dispatch boundary: nothing a handler raises leaves the window procedure.
LRESULT TWindow::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        return WndProc(message, wParam, lParam);
    } catch (...) {
        Application().HandleException(std::current_exception());
        return 0;
    }
}

LRESULT TWindow::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (subclassed_) {
        return DefSubclassProc(Handle(), message, wParam, lParam);
    }
    return DefWindowProcW(Handle(), message, wParam, lParam);
}

LRESULT TWindow::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (TWindow* child = FromHandle(reinterpret_cast<HWND>(lParam));
            child != nullptr && child != this && child->CommandNotify(HIWORD(wParam))) {
            return 0;
        }
        break;
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        LRESULT result = 0;
        if (TWindow* child = FromHandle(header->hwndFrom);
            child != nullptr && child != this && child->NotifyNotify(*header, result)) {
            return result;
        }
        break;
    }
    case WM_DRAWITEM: {
        const DRAWITEMSTRUCT* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (TWindow* child = FromHandle(item->hwndItem);
            item->CtlType != ODT_MENU && child != nullptr && child->DrawItem(*item)) {
            return TRUE;
        }
        break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
        if (TWindow* child = FromHandle(reinterpret_cast<HWND>(lParam));
            child != nullptr && child != this) {
            return reinterpret_cast<LRESULT>(child->CtlColor(reinterpret_cast<HDC>(wParam)));
        }
        break;
    case WM_SETCURSOR:
        if (ScreenCursor() != TCursor::crDefault) {
            ApplyScreenCursor();
            return TRUE;
        }
        break;
    case WM_SIZE:
        if (IsOwnClass()) {
            Resized();
            return 0;
        }
        {
            const LRESULT result = DefaultProc(message, wParam, lParam);
            Resized();
            return result;
        }
    case WM_ERASEBKGND:
        if (IsOwnClass() && EraseBackground(reinterpret_cast<HDC>(wParam))) {
            return 1;
        }
        break;
    default:
        break;
    }
    return DefaultProc(message, wParam, lParam);
}

bool TWindow::EraseBackground(HDC dc) {
    RECT r{};
    GetClientRect(Handle(), &r);
    FillRect(dc, &r, BackgroundBrush());
    return true;
}

HBRUSH TWindow::CtlColor(HDC dc) {
    SetTextColor(dc, FontColor());
    SetBkColor(dc, Color());
    return BackgroundBrush();
}

void TWindow::Resized() {
    Realign();
    if (OnResize) {
        OnResize();
    }
}

RECT TWindow::DockArea() const {
    RECT r{};
    GetClientRect(Handle(), &r);
    return r;
}

void TWindow::Realign() {
    if (aligning_ || !handle_) {
        return;
    }
    aligning_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{aligning_};

    RECT area = DockArea();
    for (TAlign align :
         {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient}) {
        std::vector<std::pair<int, TWindow*>> group;
        for (TWindow* child : children_) {
            if (child->align_ == align && child->Visible() && child->Handle() != nullptr) {
                group.emplace_back(DockKey(align, BoundsInParent(child->Handle())), child);
            }
        }
        std::stable_sort(group.begin(), group.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (const auto& [key, child] : group) {
            const int w = child->Width();
            const int h = child->Height();
            RECT place = area;
            switch (align) {
            case TAlign::alTop:
                place.bottom = area.top + h;
                area.top += h;
                break;
            case TAlign::alBottom:
                place.top = area.bottom - h;
                area.bottom -= h;
                break;
            case TAlign::alLeft:
                place.right = area.left + w;
                area.left += w;
                break;
            case TAlign::alRight:
                place.left = area.right - w;
                area.right -= w;
                break;
            default:
                break;
            }
            SetWindowPos(child->Handle(), nullptr, place.left, place.top,
                         std::max(0L, place.right - place.left),
                         std::max(0L, place.bottom - place.top), SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
}

void TWindow::SetBounds(int left, int top, int width, int height) {
    SetWindowPos(Handle(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    if (parent_ != nullptr && align_ != TAlign::alNone) {
        parent_->Realign();
    }
}

int TWindow::Left() const {
    return BoundsInParent(Handle()).left;
}
int TWindow::Top() const {
    return BoundsInParent(Handle()).top;
}

int TWindow::Width() const {
    RECT r{};
    GetWindowRect(Handle(), &r);
    return r.right - r.left;
}

int TWindow::Height() const {
    RECT r{};
    GetWindowRect(Handle(), &r);
    return r.bottom - r.top;
}

int TWindow::ClientWidth() const {
    RECT r{};
    GetClientRect(Handle(), &r);
    return r.right;
}

int TWindow::ClientHeight() const {
    RECT r{};
    GetClientRect(Handle(), &r);
    return r.bottom;
}

void TWindow::SetAlign(TAlign align) {
    align_ = align;
    if (parent_ != nullptr) {
        parent_->Realign();
    }
}

bool TWindow::Visible() const {
    return (GetWindowLongW(Handle(), GWL_STYLE) & WS_VISIBLE) != 0;
}

bool TWindow::Showing() const {
    return IsWindowVisible(Handle()) != FALSE;
}

void TWindow::SetVisible(bool visible) {
    if (visible == Visible()) {
        return;
    }
    ShowWindow(Handle(), visible ? SW_SHOWNA : SW_HIDE);
    if (parent_ != nullptr && align_ != TAlign::alNone) {
        parent_->Realign();
    }
}

bool TWindow::Enabled() const {
    return IsWindowEnabled(Handle()) != FALSE;
}

void TWindow::SetEnabled(bool enabled) {
    EnableWindow(Handle(), enabled ? TRUE : FALSE);
}

std::wstring TWindow::Caption() const {
    const int length = GetWindowTextLengthW(Handle());
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(Handle(), text.data(), length + 1);
    text.resize(static_cast<size_t>(std::max(copied, 0)));
    return text;
}

void TWindow::SetCaption(const std::wstring& caption) {
    SetWindowTextW(Handle(), caption.c_str());
    TextChanged();
}

void TWindow::SetTabStop(bool tabStop) {
    LONG style = GetWindowLongW(Handle(), GWL_STYLE);
    style = tabStop ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP);
    SetWindowLongW(Handle(), GWL_STYLE, style);
}

COLORREF TWindow::Color() const {
    if (color_) {
        return *color_;
    }
    return parent_ != nullptr ? parent_->Color() : GetSysColor(COLOR_BTNFACE);
}

void TWindow::SetColor(COLORREF color) {
    color_ = color;
    PropagateColorChange();
}

void TWindow::SetParentColor() {
    color_.reset();
    PropagateColorChange();
}

void TWindow::PropagateColorChange() {
    ColorChanged();
    for (TWindow* child : children_) {
        if (child->ParentColor()) {
            child->PropagateColorChange();
        }
    }
}

COLORREF TWindow::FontColor() const {
    if (textColor_) {
        return *textColor_;
    }
    return parent_ != nullptr ? parent_->FontColor() : GetSysColor(COLOR_WINDOWTEXT);
}

void TWindow::SetFontColor(COLORREF color) {
    textColor_ = color;
    Invalidate();
}

HBRUSH TWindow::BackgroundBrush() const {
    const COLORREF color = Color();
    if (!brush_ || brushColor_ != color) {
        brush_.reset(CreateSolidBrush(color));
        brushColor_ = color;
    }
    return brush_.get();
}

void TWindow::SetFont(const TFontRef& font) {
    parentFont_ = false;
    ParentFontChanged(font);
}

void TWindow::ParentFontChanged(const TFontRef& font) {
    font_ = font;
    if (handle_) {
        SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_->Handle()), TRUE);
    }
    FontChanged();
    for (TWindow* child : children_) {
        if (child->parentFont_) {
            child->ParentFontChanged(font);
        }
    }
}

void TWindow::TakeFocus() {
    SetFocus(Handle());
}

void TWindow::Invalidate() {
    if (handle_) {
        RedrawWindow(Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
}

void TWindow::Repaint() {
    if (handle_) {
        RedrawWindow(Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
}

void TWindow::BringToFront() {
    SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWindow::SendToBack() {
    SetWindowPos(Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TControl::CreateControl(const wchar_t* className, DWORD style, DWORD exStyle,
                             const std::wstring& caption) {
    // The one registration of the common control classes the program uses,
    // made before the first control of any window is created.
    static const bool commonControlsReady = [] {
        INITCOMMONCONTROLSEX init{sizeof(init), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS |
                                                    ICC_TAB_CLASSES | ICC_WIN95_CLASSES};
        return InitCommonControlsEx(&init) != FALSE;
    }();
    (void)commonControlsReady;
    TCreateParams params;
    params.ClassName = className;
    params.Style = style | WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    params.ExStyle = exStyle;
    params.Caption = caption;
    CreateHandle(params);
}

} // namespace ui
