// Feeds arbitrary bytes to the PNG decoder: it must either refuse them with an
// AppError naming the image or give back a well-formed opaque image within
// the size limits. Every input is tried twice: as it is, and with the CRC of
// every chunk made right, so that mutations reach past the CRC checks into
// the header, chunk order, inflate and filter code.
#include "app/portable/PngDecoder.h"
#include "base/AppError.h"

#include <cstdint>
#include <cstdlib>
#include <vector>
#include <zlib.h>

using app::kPngMaxSide;
using app::LoadPngImage;
using base::AppError;
using ui::AlphaOf;
using ui::Image32;

namespace {

void Check(const std::vector<uint8_t>& file) {
    try {
        const Image32 image = LoadPngImage(file, L"FUZZ");
        const bool sane = image.width > 0 && image.height > 0 && image.width <= kPngMaxSide &&
                          image.height <= kPngMaxSide &&
                          image.pixels.size() == std::size_t(image.width) * image.height;
        if (!sane) {
            std::abort();
        }
        for (uint32_t pixel : image.pixels) {
            if (AlphaOf(pixel) != 255) {
                std::abort();
            }
        }
    } catch (const AppError& e) {
        if (e.text().rfind(L"Cannot load image \"FUZZ\". ", 0) != 0) {
            std::abort();
        }
    }
}

uint32_t Read32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

// Rewrites the CRC of every whole chunk after the signature.
std::vector<uint8_t> WithRightCrcs(std::vector<uint8_t> file) {
    std::size_t pos = 8;
    while (pos + 12 <= file.size()) {
        const uint32_t length = Read32(&file[pos]);
        if (length > file.size() - pos - 12) {
            break;
        }
        const uint32_t crc = static_cast<uint32_t>(crc32(0, &file[pos + 4], length + 4));
        for (int i = 0; i < 4; ++i) {
            file[pos + 8 + length + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
        }
        pos += 12 + std::size_t{length};
    }
    return file;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> file(data, data + size);
    Check(file);
    Check(WithRightCrcs(file));
    return 0;
}
