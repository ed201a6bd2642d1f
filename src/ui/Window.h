#pragma once
// The base of every window of the thin window layer: a TWindow owns its
// HWND (destroyed with the object) and receives each of its messages in the
// virtual WndProc. Errors raised by a handler never cross the window
// procedure: the dispatch boundary catches them and shows the application's
// top-level error report, then the program goes on.
//
// A control is a real child window whose window text is its caption. It is
// constructed with its parent (a form, a panel, a tab sheet), after it:
//     TPanel bar{form};
//     TGlyphButton next{bar, L"Далее"};
// Notifications that Windows sends to the parent (WM_COMMAND, WM_NOTIFY,
// WM_DRAWITEM, WM_CTLCOLOR*) are handed back to the control that sent them.
//
// Docking: a child with an alignment other than alNone is placed by its
// parent whenever the parent gets a new size and whenever a docked child is
// docked, moved, resized, shown or hidden.
// alTop children stack down from the top, alBottom ones up from the bottom,
// alLeft ones from the left, alRight ones from the right (each group in the
// order of their current positions, ties in creation order: the first
// created is the outermost), and alClient takes what is left.
//
// Colours: a window without its own colour takes its parent's ("parent
// colour"); text colour likewise. Fonts: a child takes its parent's font
// until it is given its own.
//
// Tab order is the Z-order of the children, which is their creation order;
// BringToFront/SendToBack change it.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/Font.h"
#include "base/Handles.h"

namespace ui {

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

class TWindow {
  public:
    virtual ~TWindow();
    TWindow(const TWindow&) = delete;
    TWindow& operator=(const TWindow&) = delete;

    HWND Handle() const { return handle_.get(); }
    TWindow* Parent() const { return parent_; }
    // The TWindow of a window of this layer, or null for any other window.
    static TWindow* FromHandle(HWND window);

    // Position and size: a child's in its parent's client coordinates, a
    // top-level window's on the screen (outer size).
    void SetBounds(int left, int top, int width, int height);
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetTop(int top) { SetBounds(Left(), top, Width(), Height()); }
    void SetHeight(int height) { SetBounds(Left(), Top(), Width(), height); }
    int ClientWidth() const;
    int ClientHeight() const;

    void SetAlign(TAlign align);
    // Places the docked children again (normally automatic).
    void Realign();

    // The window's own visibility flag (WS_VISIBLE), whether or not its
    // parent shows; Showing() is true when it is actually on the screen.
    bool Visible() const;
    bool Showing() const;
    virtual void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }

    bool Enabled() const;
    void SetEnabled(bool enabled);

    // The window text.
    std::wstring Caption() const;
    void SetCaption(const std::wstring& caption);

    void SetTabStop(bool tabStop);

    // The background colour: the window's own, or its parent's.
    COLORREF Color() const;
    void SetColor(COLORREF color);
    void SetParentColor();
    bool ParentColor() const { return !color_.has_value(); }
    COLORREF FontColor() const;
    void SetFontColor(COLORREF color);

    const TFont& Font() const { return *font_; }
    void SetFont(const TFontSpec& style) { SetFont(MakeFont(style)); }
    void SetFont(const TFontRef& font);

    void TakeFocus();
    void Invalidate();
    // Invalidates the window and its children and repaints them at once.
    void Repaint();
    void BringToFront();
    void SendToBack();

    // A brush of Color(), kept by the window.
    HBRUSH BackgroundBrush() const;

    // Called after the window got a new size (and its children were placed).
    std::function<void()> OnResize;

  protected:
    struct TCreateParams {
        const wchar_t* ClassName = nullptr;
        DWORD Style = 0;
        DWORD ExStyle = 0;
        std::wstring Caption;
        int Left = 0;
        int Top = 0;
        int Width = 0;
        int Height = 0;
        HWND Owner = nullptr; // top-level windows only
    };

    // A top-level window; the derived class calls CreateHandle.
    TWindow();
    // A child of `parent`; the derived class calls CreateHandle.
    explicit TWindow(TWindow& parent);

    // Creates the window. Classes registered by this layer (see
    // RegisterClassOnce) get their messages from the start; any other class
    // (BUTTON, EDIT, ...) is subclassed after creation.
    void CreateHandle(const TCreateParams& params);

    // Registers a window class of this layer once per process.
    static void RegisterClassOnce(const wchar_t* className, UINT classStyle = 0,
                                  HICON icon = nullptr);

    // Every message of the window. The base handles the reflection of child
    // notifications, colours, the screen cursor, sizing and erasing.
    virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The window class's own handling of a message.
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Notifications the parent received from this control.
    virtual bool CommandNotify(WORD /*code*/) { return false; }
    virtual bool NotifyNotify(const NMHDR& /*header*/, LRESULT& /*result*/) { return false; }
    virtual bool DrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }
    // WM_CTLCOLOR*: sets the DC's colours and gives the background brush.
    virtual HBRUSH CtlColor(HDC dc);

    // Hooks for derived windows.
    virtual void Resized();
    virtual void ColorChanged() { Invalidate(); }
    virtual void FontChanged() {}
    virtual void TextChanged() {}
    virtual bool EraseBackground(HDC dc); // true when erased
    // The area docked children share (the client area, less any border).
    virtual RECT DockArea() const;

    bool IsOwnClass() const { return !subclassed_; }

  private:
    static LRESULT CALLBACK StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR data);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void Attach(HWND window);
    void Detach();
    void ParentFontChanged(const TFontRef& font);
    void ChildGone(TWindow* child);
    void PropagateColorChange();

    base::UniqueWindow handle_;
    TWindow* parent_ = nullptr;
    std::vector<TWindow*> children_;
    bool subclassed_ = false;
    TAlign align_ = TAlign::alNone;
    bool aligning_ = false;
    std::optional<COLORREF> color_;
    std::optional<COLORREF> textColor_;
    TFontRef font_;
    bool parentFont_ = true;
    mutable base::UniqueBrush brush_;
    mutable COLORREF brushColor_ = CLR_INVALID;
};

// A child window of this layer: the base of the controls.
class TControl : public TWindow {
  protected:
    explicit TControl(TWindow& parent) : TWindow(parent) {}
    // Child-window creation with the usual styles (WS_CHILD, WS_VISIBLE,
    // WS_CLIPSIBLINGS) added.
    void CreateControl(const wchar_t* className, DWORD style, DWORD exStyle = 0,
                       const std::wstring& caption = {});
};

} // namespace ui
