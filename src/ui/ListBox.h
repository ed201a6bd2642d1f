#pragma once
// A list of text lines (a LISTBOX): lines are appended, read and rewritten
// in place by index. Not reached by the Tab key.
#include <string>

#include "ui/Window.h"

namespace ui {

class TListBox : public TControl {
  public:
    explicit TListBox(TWindow& parent);

    // Appends a line; returns its index.
    int Add(const std::wstring& line);
    std::wstring Line(int index) const;
    // Replaces the line at `index`, keeping its position.
    void SetLine(int index, const std::wstring& line);
    int Count() const;
    void Clear();
    void SetItemHeight(int pixels);
    int ItemHeight() const;
    // Scrolls so that the line at `index` is visible.
    void MakeVisible(int index);
};

} // namespace ui
