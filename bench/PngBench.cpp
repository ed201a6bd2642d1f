// Decoding of the seven embedded images, which the main window does once, at
// its creation: each image alone, then all seven as the window loads them.
#include "BenchInputs.h"

#include "app/portable/PngDecoder.h"

#include <algorithm>

#include <benchmark/benchmark.h>
#include <zlib.h>

using app::DecodedPng;
using app::DecodePng;
using app::LoadPngImage;
using ui::Image32;

namespace {

// One image: decoded and put on white (LoadPngImage, what the window keeps).
void LoadOneImage(benchmark::State& state, const bench::ImageFile& image) {
    const std::vector<uint8_t> bytes = bench::ImageFileBytes(image);
    const std::wstring name = bench::WideName(image.resource);
    std::size_t pixels = 0;
    for (auto _ : state) {
        Image32 bitmap = LoadPngImage(bytes, name);
        benchmark::DoNotOptimize(bitmap.pixels.data());
        pixels = bitmap.pixels.size();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * pixels));
}

const bool kOneImageRegistered = [] {
    for (const bench::ImageFile& image : bench::kImageFiles) {
        benchmark::RegisterBenchmark(
            (std::string("LoadPngImage/") + image.resource).c_str(),
            [&image](benchmark::State& state) { LoadOneImage(state, image); });
    }
    return true;
}();

struct ImageBytes {
    std::vector<uint8_t> bytes;
    std::wstring name;
};

std::vector<ImageBytes> AllImageBytes() {
    std::vector<ImageBytes> all;
    all.reserve(bench::kImageFiles.size());
    for (const bench::ImageFile& image : bench::kImageFiles) {
        all.push_back({bench::ImageFileBytes(image), bench::WideName(image.resource)});
    }
    return all;
}

// All seven, as the window's creation loads them.
void LoadAllSevenImages(benchmark::State& state) {
    const std::vector<ImageBytes> images = AllImageBytes();
    for (auto _ : state) {
        for (const ImageBytes& image : images) {
            Image32 bitmap = LoadPngImage(image.bytes, image.name);
            benchmark::DoNotOptimize(bitmap.pixels.data());
        }
    }
}
BENCHMARK(LoadAllSevenImages);

// The decoding alone (inflate and unfilter), without putting the images on
// white: the difference to the one above is the flattening.
void DecodeAllSevenImages(benchmark::State& state) {
    const std::vector<ImageBytes> images = AllImageBytes();
    for (auto _ : state) {
        for (const ImageBytes& image : images) {
            DecodedPng decoded = DecodePng(image.bytes, image.name);
            benchmark::DoNotOptimize(decoded.image.pixels.data());
        }
    }
}
BENCHMARK(DecodeAllSevenImages);

uint32_t BigEndian32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}

// The zlib stream of a well-formed PNG file (its IDAT chunks joined) and the
// size of the filtered rows it inflates to.
struct Compressed {
    std::vector<uint8_t> stream;
    uLongf rawSize = 0;
};

Compressed CompressedRows(const std::vector<uint8_t>& png) {
    Compressed compressed;
    for (std::size_t pos = 8; pos + 12 <= png.size();) {
        const uint32_t length = BigEndian32(&png[pos]);
        const uint8_t* type = &png[pos + 4];
        const uint8_t* data = &png[pos + 8];
        if (std::equal(type, type + 4, "IHDR")) {
            const uLongf width = BigEndian32(data);
            const uLongf height = BigEndian32(data + 4);
            const uLongf pixelBytes = data[9] == 6 ? 4 : 3;
            compressed.rawSize = height * (1 + width * pixelBytes);
        } else if (std::equal(type, type + 4, "IDAT")) {
            compressed.stream.insert(compressed.stream.end(), data, data + length);
        }
        pos += 12 + length;
    }
    return compressed;
}

// zlib's inflate of the same seven streams in one call each, into a buffer
// made once: the floor under the decoder's time.
void InflateAllSevenImages(benchmark::State& state) {
    std::vector<Compressed> streams;
    uLongf largest = 0;
    for (const bench::ImageFile& image : bench::kImageFiles) {
        streams.push_back(CompressedRows(bench::ImageFileBytes(image)));
        largest = std::max(largest, streams.back().rawSize);
    }
    std::vector<uint8_t> raw(largest);
    for (auto _ : state) {
        for (const Compressed& compressed : streams) {
            uLongf size = compressed.rawSize;
            if (uncompress(raw.data(), &size, compressed.stream.data(),
                           static_cast<uLong>(compressed.stream.size())) != Z_OK ||
                size != compressed.rawSize) {
                state.SkipWithError("an image does not inflate to its rows");
                return;
            }
            benchmark::DoNotOptimize(raw.data());
        }
    }
}
BENCHMARK(InflateAllSevenImages);

} // namespace
