#pragma once
// A 32-bit pixel buffer: 0xAARRGGBB, rows top-down, no padding. On a
// little-endian machine this is the memory layout of a top-down 32-bit DIB.
#include <cstddef>
#include <cstdint>
#include <vector>

struct TPixelBuffer {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint32_t> Pixels;

    TPixelBuffer() = default;
    TPixelBuffer(int width, int height, std::uint32_t fill = 0)
        : Width(width > 0 && height > 0 ? width : 0), Height(width > 0 && height > 0 ? height : 0),
          Pixels(static_cast<std::size_t>(Width) * static_cast<std::size_t>(Height), fill) {}

    std::uint32_t& At(int x, int y) { return Pixels[Index(x, y)]; }
    std::uint32_t At(int x, int y) const { return Pixels[Index(x, y)]; }

  private:
    std::size_t Index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) +
               static_cast<std::size_t>(x);
    }
};
