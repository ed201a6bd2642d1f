#pragma once
// Our PNG decoder (zlib inflate underneath) for the images the main window
// draws: 8-bit truecolour (RGB) and truecolour with alpha (RGBA), not
// interlaced. Everything else, and any damaged or incomplete file, is refused
// with an AppError whose text names the image:
//   Cannot load image "<name>". <reason>
#include "ui/portable/Image32.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace app {

// Largest accepted image: at most this many pixels on a side ...
constexpr int kPngMaxSide = 16384;
// ... and at most this many pixels in all (256 MiB of ARGB pixels).
constexpr std::size_t kPngMaxPixels = std::size_t{1} << 26;

struct DecodedPng {
    ui::Image32 image;     // the image's own pixels, alpha as stored (255 for RGB)
    bool hasAlpha = false; // RGBA (colour type 6) rather than RGB (colour type 2)
};

// Decodes a whole PNG file. `imageName` only names the image in error texts.
DecodedPng DecodePng(std::span<const uint8_t> file, const std::wstring& imageName);

// Puts the image on an opaque white ground: every colour channel c with alpha a
// becomes (c * a + 255 * (255 - a) + 127) / 255 (integer division, so the
// result is the blend rounded to the nearest value), and every alpha becomes
// 255. Transparent pixels turn white, opaque ones keep their colour.
void FlattenOverWhite(ui::Image32& image);

// The main window's bitmaps: the decoded image flattened over white.
ui::Image32 LoadPngImage(std::span<const uint8_t> file, const std::wstring& imageName);

// The text of the error raised for the image `imageName` with `reason`.
std::wstring PngErrorText(const std::wstring& imageName, const std::wstring& reason);

} // namespace app
