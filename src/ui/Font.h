#pragma once
// Fonts by pixel height. Nothing in the program scales with the display:
// a font is asked for by the height of its characters in pixels.
#include <memory>
#include <string>

#include "base/Handles.h"

namespace ui {

struct TFontSpec {
    std::wstring Name = L"Tahoma";
    int Height = 13; // character height in pixels (LOGFONT height -Height)
    bool Bold = false;
    BYTE Charset = DEFAULT_CHARSET;
};

// A GDI font made from a TFontSpec, deleted with the object.
class TFont {
  public:
    explicit TFont(const TFontSpec& style);
    HFONT Handle() const { return font_.get(); }
    const TFontSpec& Style() const { return style_; }

  private:
    TFontSpec style_;
    base::UniqueFont font_;
};

using TFontRef = std::shared_ptr<const TFont>;

TFontRef MakeFont(const TFontSpec& style);

// The pixel height of a font of `points` points on the screen (its logical
// pixels per inch; 96 gives 13 pixels for 10 points).
int PointsToPixels(int points);

// The system's message-box font (the non-client metrics' message font).
TFontSpec MessageFontSpec();

} // namespace ui
