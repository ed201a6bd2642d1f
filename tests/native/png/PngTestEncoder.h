#pragma once
// A tiny PNG writer for the decoder's tests: every piece of the file can be
// built on its own, so that a test can get any single thing wrong.
#include "ui/portable/Image32.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>
#include <zlib.h>

namespace pngtest {

using Bytes = std::vector<uint8_t>;

inline void Append(Bytes& to, const Bytes& from) {
    to.insert(to.end(), from.begin(), from.end());
}

inline void Put32(Bytes& to, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        to.push_back(static_cast<uint8_t>(v >> shift));
    }
}

inline Bytes Signature() {
    return {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
}

// A chunk with its length and CRC; `crcDelta` spoils the CRC when non-zero.
inline Bytes Chunk(std::string_view type, const Bytes& data, uint32_t crcDelta = 0) {
    Bytes out;
    Put32(out, static_cast<uint32_t>(data.size()));
    Bytes body(type.begin(), type.end());
    Append(body, data);
    Append(out, body);
    Put32(out,
          static_cast<uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size()))) ^ crcDelta);
    return out;
}

struct Header {
    uint32_t width = 1;
    uint32_t height = 1;
    uint8_t bitDepth = 8;
    uint8_t colorType = 6;
    uint8_t compression = 0;
    uint8_t filter = 0;
    uint8_t interlace = 0;
};

inline Bytes IhdrData(const Header& h) {
    Bytes out;
    Put32(out, h.width);
    Put32(out, h.height);
    for (uint8_t b : {h.bitDepth, h.colorType, h.compression, h.filter, h.interlace}) {
        out.push_back(b);
    }
    return out;
}

inline Bytes Compress(const Bytes& raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    Bytes out(size);
    compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 9);
    out.resize(size);
    return out;
}

inline uint8_t PaethPredictor(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) {
        return static_cast<uint8_t>(a);
    }
    return static_cast<uint8_t>(pb <= pc ? b : c);
}

// The pixel bytes of one row: R, G, B (and A) per pixel.
inline Bytes RowBytes(const ui::Image32& image, int y, bool alpha) {
    Bytes row;
    for (int x = 0; x < image.width; ++x) {
        const uint32_t p = image.at(x, y);
        row.insert(row.end(), {ui::RedOf(p), ui::GreenOf(p), ui::BlueOf(p)});
        if (alpha) {
            row.push_back(ui::AlphaOf(p));
        }
    }
    return row;
}

// The uncompressed image data: every row with filter type `filter` applied.
inline Bytes Scanlines(const ui::Image32& image, bool alpha, uint8_t filter) {
    const std::size_t bpp = alpha ? 4 : 3;
    Bytes out;
    Bytes previous(image.width * bpp, 0);
    for (int y = 0; y < image.height; ++y) {
        const Bytes row = RowBytes(image, y, alpha);
        out.push_back(filter);
        for (std::size_t i = 0; i < row.size(); ++i) {
            const int a = i >= bpp ? row[i - bpp] : 0;
            const int b = previous[i];
            const int c = i >= bpp ? previous[i - bpp] : 0;
            int predicted = 0;
            switch (filter) {
            case 1:
                predicted = a;
                break;
            case 2:
                predicted = b;
                break;
            case 3:
                predicted = (a + b) / 2;
                break;
            case 4:
                predicted = PaethPredictor(a, b, c);
                break;
            default:
                break;
            }
            out.push_back(static_cast<uint8_t>(row[i] - predicted));
        }
        previous = row;
    }
    return out;
}

// A file from its header and compressed data, the data in one IDAT chunk.
inline Bytes File(const Header& h, const Bytes& compressed) {
    Bytes out = Signature();
    Append(out, Chunk("IHDR", IhdrData(h)));
    Append(out, Chunk("IDAT", compressed));
    Append(out, Chunk("IEND", {}));
    return out;
}

inline Bytes Encode(const ui::Image32& image, bool alpha, uint8_t filter = 0) {
    Header h;
    h.width = static_cast<uint32_t>(image.width);
    h.height = static_cast<uint32_t>(image.height);
    h.colorType = alpha ? 6 : 2;
    return File(h, Compress(Scanlines(image, alpha, filter)));
}

// Pixels that make every filter wrap around: a fixed pseudo-random pattern.
inline ui::Image32 NoiseImage(int width, int height, bool alpha, uint32_t seed = 12345) {
    ui::Image32 image(width, height);
    uint32_t state = seed;
    for (uint32_t& p : image.pixels) {
        state = state * 1103515245u + 12345u;
        p = (state >> 4) & 0x00FFFFFFu;
        state = state * 1103515245u + 12345u;
        p |= alpha ? (state & 0xFF000000u) : ui::kOpaqueAlpha;
    }
    return image;
}

} // namespace pngtest
