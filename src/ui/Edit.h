#pragma once
// Text fields: a one-line edit field (TEdit) and a multi-line memo (TMemo),
// both EDIT controls.
#include <optional>
#include <string>
#include <vector>

#include "ui/Window.h"

namespace ui {

class TEdit : public TControl {
  public:
    explicit TEdit(TWindow& parent, const std::wstring& text = {});

    std::wstring Text() const { return Caption(); }
    void SetText(const std::wstring& text) { SetCaption(text); }
    void SetReadOnly(bool readOnly);
    // A flat one-pixel frame in `color`; none removes the frame.
    void SetFrameColor(std::optional<COLORREF> color);

    std::function<void()> OnChange;

  protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool CommandNotify(WORD code) override;

  private:
    std::optional<COLORREF> frameColor_;
};

// A multi-line text, read-only and borderless unless told otherwise; long
// lines wrap at its width. Its lines are separate lines as given, a line
// ending in a blank keeps that blank.
class TMemo : public TControl {
  public:
    explicit TMemo(TWindow& parent);

    void SetLines(const std::vector<std::wstring>& lines);
    std::vector<std::wstring> Lines() const;
    std::wstring Text() const { return Caption(); }
    void SetReadOnly(bool readOnly);
    void SetBorder(bool border);
};

} // namespace ui
