#pragma once
// A read-only rich-text box (RICHEDIT50W of the system's msftedit.dll) that
// shows a rich-text document loaded from bytes.
#include <cstddef>
#include <string>

#include "ui/Window.h"

namespace ui {

class TRichEdit : public TControl {
  public:
    explicit TRichEdit(TWindow& parent);

    // Replaces the content with the RTF document in `data` (EM_STREAMIN);
    // formatting is kept.
    void LoadRtf(const void* data, std::size_t size);
    // The plain text of the content.
    std::wstring Text() const;
    // Space between the frame and the text, in pixels on every side.
    void SetInnerBorder(int pixels);
    // A soft sunken edge around the box.
    void SetBevel(bool bevel);

  protected:
    void ColorChanged() override;
    void Resized() override;

  private:
    void ApplyInnerBorder();

    int innerBorder_ = 0;
};

} // namespace ui
