#pragma once
// The buttons' 16 x 16 glyphs, drawn in code: each in colour and greyed (for
// a disabled button). Pixels are 0xAARRGGBB with straight (not
// premultiplied) alpha; outside the picture they are fully transparent.
#include <cstdint>
#include <utility>
#include <vector>

#include "ui/portable/Image32.h"

namespace ui {

enum class TGlyph {
    None,
    Next,   // arrow pointing right
    Back,   // arrow pointing left
    Cancel, // red cross
    Exit,   // door with an arrow leaving it
    Tick,   // green tick
    Gear    // settings
};

constexpr int kGlyphSize = 16;

Image32 MakeGlyph(TGlyph glyph, bool greyed = false);

// A list of glyph pictures addressed by index.
struct TImageList {
    std::vector<Image32> Images;
    int Add(Image32 image) {
        Images.push_back(std::move(image));
        return static_cast<int>(Images.size()) - 1;
    }
    int Count() const { return static_cast<int>(Images.size()); }
    const Image32& operator[](int index) const {
        return Images.at(static_cast<std::size_t>(index));
    }
};

} // namespace ui
