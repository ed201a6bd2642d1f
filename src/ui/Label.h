#pragma once
// A label: a STATIC control whose window text is its caption, on its
// parent's colour unless given its own.
#include <string>

#include "ui/Window.h"

namespace ui {

enum class TAlignment { taLeftJustify, taCenter, taRightJustify };

class TLabel : public TControl {
  public:
    TLabel(TWindow& parent, const std::wstring& caption = {});

    void SetAlignment(TAlignment alignment);
    // Long lines break at word boundaries (and inside words that do not fit).
    void SetWordWrap(bool wordWrap);
    // The size follows the text: with word wrap the height at the current
    // width, without it width and height.
    void SetAutoSize(bool autoSize);
    // The height the text needs at the current width.

  protected:
    void TextChanged() override { AdjustSize(); }
    void FontChanged() override { AdjustSize(); }
    void Resized() override;

  private:
    void ApplyStyle();
    void AdjustSize();
    SIZE MeasureText(int width) const;

    TAlignment alignment_ = TAlignment::taLeftJustify;
    bool wordWrap_ = false;
    bool autoSize_ = false;
};

} // namespace ui
