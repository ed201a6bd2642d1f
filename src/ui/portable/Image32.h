#pragma once
// A 32-bit ARGB pixel buffer: the in-memory form of the main window's bitmaps,
// of the drawing surface's off-screen buffer and of the buttons' glyphs.
//
// Pixels are 0xAARRGGBB, rows top-down, no padding between rows. On a
// little-endian machine this is the memory layout of a top-down 32-bit DIB
// (blue, green, red, alpha bytes), so the buffer can be handed to GDI as is.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace ui {

struct Image32 {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    Image32() = default;
    Image32(int w, int h, uint32_t fill = 0)
        : width(w > 0 && h > 0 ? w : 0), height(w > 0 && h > 0 ? h : 0),
          pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

    bool empty() const { return pixels.empty(); }

    uint32_t& at(int x, int y) { return pixels[index(x, y)]; }
    uint32_t at(int x, int y) const { return pixels[index(x, y)]; }

  private:
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
               static_cast<std::size_t>(x);
    }
};

constexpr uint32_t kOpaqueAlpha = 0xFF000000u;
constexpr uint32_t kOpaqueWhite = 0xFFFFFFFFu;

constexpr uint32_t MakeArgb(uint8_t a, uint8_t r, uint8_t g, uint8_t b) {
    return (uint32_t{a} << 24) | (uint32_t{r} << 16) | (uint32_t{g} << 8) | uint32_t{b};
}
constexpr uint8_t AlphaOf(uint32_t argb) {
    return static_cast<uint8_t>(argb >> 24);
}
constexpr uint8_t RedOf(uint32_t argb) {
    return static_cast<uint8_t>(argb >> 16);
}
constexpr uint8_t GreenOf(uint32_t argb) {
    return static_cast<uint8_t>(argb >> 8);
}
constexpr uint8_t BlueOf(uint32_t argb) {
    return static_cast<uint8_t>(argb);
}

// Copies `source` into `target` with its top-left corner at (x, y): the
// source pixels replace the target's (no blending, alpha copied as it is);
// whatever falls outside the target is left out.
inline void DrawOpaque(Image32& target, const Image32& source, int x, int y) {
    // 64-bit bounds, so that no position or size can overflow.
    const long long left = std::max<long long>(x, 0);
    const long long top = std::max<long long>(y, 0);
    const long long right =
        std::min<long long>(static_cast<long long>(x) + source.width, target.width);
    const long long bottom =
        std::min<long long>(static_cast<long long>(y) + source.height, target.height);
    if (left >= right || top >= bottom) {
        return;
    }
    for (long long ty = top; ty < bottom; ++ty) {
        const int sy = static_cast<int>(ty - y);
        const uint32_t* from =
            &source.pixels[static_cast<std::size_t>(sy) * static_cast<std::size_t>(source.width) +
                           static_cast<std::size_t>(left - x)];
        uint32_t* to =
            &target.pixels[static_cast<std::size_t>(ty) * static_cast<std::size_t>(target.width) +
                           static_cast<std::size_t>(left)];
        std::copy(from, from + (right - left), to);
    }
}

// `argb` drawn over the opaque colour `background` (its alpha is ignored),
// each channel rounded to nearest; the result is opaque.
constexpr uint32_t BlendOver(uint32_t argb, uint32_t background) {
    const uint32_t alpha = AlphaOf(argb);
    uint32_t result = kOpaqueAlpha;
    for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t top = (argb >> shift) & 0xFF;
        const uint32_t bottom = (background >> shift) & 0xFF;
        result |= ((top * alpha + bottom * (255 - alpha) + 127) / 255) << shift;
    }
    return result;
}

} // namespace ui
