#include "app/portable/PngDecoder.h"

#include "base/AppError.h"

#include <array>
#include <climits>
#include <cstring>
#include <vector>
#include <zlib.h>

using base::AppError;

namespace app {

using ui::BlendOver;
using ui::Image32;
using ui::kOpaqueWhite;
using ui::MakeArgb;

namespace {

constexpr std::array<uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr uint32_t kMaxChunkLength = 0x7FFFFFFFu;
constexpr uint8_t kColorTypeRgb = 2;
constexpr uint8_t kColorTypeRgba = 6;

[[noreturn]] void Refuse(const std::wstring& imageName, const std::wstring& reason) {
    throw AppError(PngErrorText(imageName, reason));
}

uint32_t ReadBigEndian32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}

struct Chunk {
    std::array<char, 4> type{};
    std::span<const uint8_t> data;

    bool is(const char* name) const { return std::memcmp(type.data(), name, 4) == 0; }
    // Critical chunks have an upper-case first letter.
    bool critical() const { return type[0] >= 'A' && type[0] <= 'Z'; }
    std::wstring name() const { return std::wstring(type.begin(), type.end()); }
};

bool IsAsciiLetter(uint8_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Walks the chunks of a PNG file after its signature, checking every CRC.
class ChunkReader {
  public:
    ChunkReader(std::span<const uint8_t> file, const std::wstring& imageName)
        : file_(file), imageName_(imageName) {}

    bool atEnd() const { return pos_ == file_.size(); }

    Chunk next() {
        if (file_.size() - pos_ < 12) {
            Refuse(imageName_, L"The image data is truncated");
        }
        const uint8_t* head = file_.data() + pos_;
        const uint32_t length = ReadBigEndian32(head);
        if (length > kMaxChunkLength) {
            Refuse(imageName_, L"The image data is corrupt (invalid chunk length)");
        }
        if (file_.size() - pos_ - 12 < length) {
            Refuse(imageName_, L"The image data is truncated");
        }
        Chunk chunk;
        for (int i = 0; i < 4; ++i) {
            if (!IsAsciiLetter(head[4 + i])) {
                Refuse(imageName_, L"The image data is corrupt (invalid chunk type)");
            }
            chunk.type[i] = static_cast<char>(head[4 + i]);
        }
        chunk.data = file_.subspan(pos_ + 8, length);
        const uint32_t storedCrc = ReadBigEndian32(head + 8 + length);
        const uLong crc = crc32(0L, head + 4, static_cast<uInt>(length) + 4);
        if (crc != storedCrc) {
            Refuse(imageName_,
                   L"The image data is corrupt (CRC error in chunk " + chunk.name() + L")");
        }
        pos_ += 12 + static_cast<std::size_t>(length);
        return chunk;
    }

  private:
    std::span<const uint8_t> file_;
    const std::wstring& imageName_;
    std::size_t pos_ = kSignature.size();
};

struct Header {
    uint32_t width = 0;
    uint32_t height = 0;
    uint8_t bitDepth = 0;
    uint8_t colorType = 0;
    uint8_t compression = 0;
    uint8_t filter = 0;
    uint8_t interlace = 0;

    int bytesPerPixel() const { return colorType == kColorTypeRgba ? 4 : 3; }
    std::size_t rowBytes() const { return std::size_t{width} * bytesPerPixel(); }
};

Header ParseHeader(const Chunk& chunk, const std::wstring& imageName) {
    if (!chunk.is("IHDR")) {
        Refuse(imageName, L"The image header is missing");
    }
    if (chunk.data.size() != 13) {
        Refuse(imageName, L"The image header is invalid");
    }
    const uint8_t* p = chunk.data.data();
    return Header{ReadBigEndian32(p), ReadBigEndian32(p + 4), p[8], p[9], p[10], p[11], p[12]};
}

void ValidateHeader(const Header& h, const std::wstring& imageName) {
    if (h.width == 0 || h.height == 0 || h.width > kPngMaxSide || h.height > kPngMaxSide ||
        std::size_t{h.width} * std::size_t{h.height} > kPngMaxPixels) {
        Refuse(imageName, L"The image size " + std::to_wstring(h.width) + L" x " +
                              std::to_wstring(h.height) + L" is not supported");
    }
    if (h.colorType != kColorTypeRgb && h.colorType != kColorTypeRgba) {
        Refuse(imageName, L"Colour type " + std::to_wstring(h.colorType) + L" is not supported");
    }
    if (h.bitDepth != 8) {
        Refuse(imageName, L"Bit depth " + std::to_wstring(h.bitDepth) + L" is not supported");
    }
    if (h.compression != 0 || h.filter != 0) {
        Refuse(imageName, L"The image header is invalid");
    }
    if (h.interlace != 0) {
        Refuse(imageName, L"Interlaced images are not supported");
    }
}

// Reads the chunks after the header up to IEND and returns the compressed
// image data: the contents of the IDAT chunks, which must follow one another.
std::vector<uint8_t> CollectImageData(ChunkReader& reader, const std::wstring& imageName) {
    std::vector<uint8_t> data;
    bool seenData = false;
    bool dataClosed = false;
    while (true) {
        if (reader.atEnd()) {
            Refuse(imageName, L"The image end marker is missing");
        }
        const Chunk chunk = reader.next();
        if (chunk.is("IEND")) {
            if (!chunk.data.empty()) {
                Refuse(imageName, L"The image end marker is invalid");
            }
            break;
        }
        if (chunk.is("IDAT")) {
            if (dataClosed) {
                Refuse(imageName, L"The image data chunks are not consecutive");
            }
            seenData = true;
            data.insert(data.end(), chunk.data.begin(), chunk.data.end());
            continue;
        }
        dataClosed = seenData;
        if (chunk.is("IHDR")) {
            Refuse(imageName, L"The image has a second header");
        }
        // A suggested palette is allowed beside truecolour; like every
        // ancillary chunk it does not change the pixels.
        if (chunk.critical() && !(chunk.is("PLTE") && !seenData)) {
            Refuse(imageName, L"The chunk " + chunk.name() + L" is not supported");
        }
    }
    if (!seenData) {
        Refuse(imageName, L"The image has no image data");
    }
    if (!reader.atEnd()) {
        Refuse(imageName, L"Data follows the end of the image");
    }
    return data;
}

// zlib's inflate state, ended when the decoding ends, also by an error.
class Inflater {
  public:
    Inflater(std::span<const uint8_t> input, const std::wstring& imageName)
        : imageName_(imageName) {
        if (input.size() > UINT_MAX) {
            Refuse(imageName_, L"The image data is too large");
        }
        stream_.next_in = const_cast<Bytef*>(input.data());
        stream_.avail_in = static_cast<uInt>(input.size());
        if (inflateInit(&stream_) != Z_OK) {
            Refuse(imageName_, L"The image data cannot be decompressed");
        }
    }
    ~Inflater() { inflateEnd(&stream_); }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    // Fills `out` completely with decompressed bytes.
    void read(std::span<uint8_t> out) {
        stream_.next_out = out.data();
        stream_.avail_out = static_cast<uInt>(out.size());
        while (stream_.avail_out > 0) {
            if (ended_) {
                Refuse(imageName_, L"The image data is too short");
            }
            step();
        }
    }

    // Checks that the compressed stream ends here, with nothing after it.
    void finish() {
        uint8_t extra = 0;
        while (!ended_) {
            stream_.next_out = &extra;
            stream_.avail_out = 1;
            step();
            if (stream_.avail_out == 0) {
                Refuse(imageName_, L"The image data is too long");
            }
        }
        if (stream_.avail_in != 0) {
            Refuse(imageName_, L"The image data is too long");
        }
    }

  private:
    void step() {
        const int rc = inflate(&stream_, Z_NO_FLUSH);
        if (rc == Z_STREAM_END) {
            ended_ = true;
        } else if (rc == Z_BUF_ERROR) {
            Refuse(imageName_, L"The image data is truncated");
        } else if (rc != Z_OK) {
            Refuse(imageName_, L"The image data is corrupt (decompression failed)");
        }
    }

    z_stream stream_{};
    const std::wstring& imageName_;
    bool ended_ = false;
};

uint8_t Paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = p > a ? p - a : a - p;
    const int pb = p > b ? p - b : b - p;
    const int pc = p > c ? p - c : c - p;
    if (pa <= pb && pa <= pc) {
        return static_cast<uint8_t>(a);
    }
    return static_cast<uint8_t>(pb <= pc ? b : c);
}

// Undoes the row filter in place. `row` and `previous` hold the pixel bytes
// (without the filter type byte); `previous` is all zero for the first row.
void Unfilter(uint8_t filter, std::span<uint8_t> row, std::span<const uint8_t> previous, int bpp,
              const std::wstring& imageName) {
    const std::size_t n = row.size();
    switch (filter) {
    case 0:
        return;
    case 1:
        for (std::size_t i = bpp; i < n; ++i) {
            row[i] = static_cast<uint8_t>(row[i] + row[i - bpp]);
        }
        return;
    case 2:
        for (std::size_t i = 0; i < n; ++i) {
            row[i] = static_cast<uint8_t>(row[i] + previous[i]);
        }
        return;
    case 3:
        for (std::size_t i = 0; i < n; ++i) {
            const int left = i >= static_cast<std::size_t>(bpp) ? row[i - bpp] : 0;
            row[i] = static_cast<uint8_t>(row[i] + (left + previous[i]) / 2);
        }
        return;
    case 4:
        for (std::size_t i = 0; i < n; ++i) {
            const bool hasLeft = i >= static_cast<std::size_t>(bpp);
            const int left = hasLeft ? row[i - bpp] : 0;
            const int upLeft = hasLeft ? previous[i - bpp] : 0;
            row[i] = static_cast<uint8_t>(row[i] + Paeth(left, previous[i], upLeft));
        }
        return;
    default:
        Refuse(imageName,
               L"The image data is corrupt (unknown row filter " + std::to_wstring(filter) + L")");
    }
}

void StoreRow(std::span<const uint8_t> row, int bpp, uint32_t* out) {
    for (std::size_t i = 0; i < row.size(); i += bpp) {
        const uint8_t alpha = bpp == 4 ? row[i + 3] : 0xFF;
        *out++ = MakeArgb(alpha, row[i], row[i + 1], row[i + 2]);
    }
}

// Deflate expands its input at most about 1032 times.
constexpr std::uint64_t kMaxInflateRatio = 1032;

// Inflates and unfilters the rows. The pixel buffer is reserved once for
// the rows the compressed data can hold at the most, and grows row by row
// within it, so that a header promising a large image costs no more memory
// than its data can fill.
Image32 DecodeRows(const Header& h, std::span<const uint8_t> compressed,
                   const std::wstring& imageName) {
    Inflater inflater(compressed, imageName);
    const int bpp = h.bytesPerPixel();
    std::vector<uint8_t> row(h.rowBytes());
    std::vector<uint8_t> previous(h.rowBytes(), 0);
    Image32 image;
    const std::uint64_t possibleRows =
        compressed.size() * kMaxInflateRatio / (std::uint64_t{h.rowBytes()} + 1);
    image.pixels.reserve(
        static_cast<std::size_t>(std::min<std::uint64_t>(possibleRows, h.height) * h.width));
    for (uint32_t y = 0; y < h.height; ++y) {
        uint8_t filter = 0;
        inflater.read(std::span(&filter, 1));
        inflater.read(row);
        Unfilter(filter, row, previous, bpp, imageName);
        image.pixels.resize(image.pixels.size() + h.width);
        StoreRow(row, bpp, image.pixels.data() + std::size_t{y} * h.width);
        row.swap(previous);
    }
    inflater.finish();
    image.width = static_cast<int>(h.width);
    image.height = static_cast<int>(h.height);
    return image;
}

} // namespace

std::wstring PngErrorText(const std::wstring& imageName, const std::wstring& reason) {
    return L"Cannot load image \"" + imageName + L"\". " + reason;
}

DecodedPng DecodePng(std::span<const uint8_t> file, const std::wstring& imageName) {
    if (file.size() < kSignature.size() ||
        !std::equal(kSignature.begin(), kSignature.end(), file.begin())) {
        Refuse(imageName, L"The data is not a PNG image");
    }
    ChunkReader reader(file, imageName);
    if (reader.atEnd()) {
        Refuse(imageName, L"The image header is missing");
    }
    const Header header = ParseHeader(reader.next(), imageName);
    ValidateHeader(header, imageName);
    const std::vector<uint8_t> compressed = CollectImageData(reader, imageName);
    return DecodedPng{DecodeRows(header, compressed, imageName),
                      header.colorType == kColorTypeRgba};
}

void FlattenOverWhite(Image32& image) {
    for (uint32_t& pixel : image.pixels) {
        pixel = BlendOver(pixel, kOpaqueWhite);
    }
}

Image32 LoadPngImage(std::span<const uint8_t> file, const std::wstring& imageName) {
    Image32 image = DecodePng(file, imageName).image;
    FlattenOverWhite(image);
    return image;
}

} // namespace app
