#include "PngTestEncoder.h"

#include "app/portable/PngDecoder.h"
#include "base/AppError.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

using app::DecodedPng;
using app::DecodePng;
using app::FlattenOverWhite;
using app::kPngMaxSide;
using app::LoadPngImage;
using base::AppError;
using ui::Image32;
using ui::MakeArgb;

using namespace pngtest;

namespace {

const std::wstring kName = L"TITLE_PNL_M";

Bytes ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::filesystem::path DataDir() {
    const char* source = std::getenv("VESTAR_SOURCE_DIR");
    return std::filesystem::path(source ? source : ".") / "tests/native/png/data";
}

// The error text of decoding `file`, or "(accepted)".
std::wstring RefusalText(const Bytes& file) {
    try {
        DecodePng(file, kName);
    } catch (const AppError& e) {
        return e.text();
    }
    return L"(accepted)";
}

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

// --- decoding ---------------------------------------------------------------

struct FilterCase {
    uint8_t filter;
    bool alpha;
    int width;
    int height;
};

class DecodeFilter : public testing::TestWithParam<FilterCase> {};

TEST_P(DecodeFilter, GivesBackTheEncodedPixels) {
    const FilterCase c = GetParam();
    const Image32 original = NoiseImage(c.width, c.height, c.alpha, c.filter * 7u + c.width);
    const DecodedPng decoded = DecodePng(Encode(original, c.alpha, c.filter), kName);
    EXPECT_EQ(decoded.hasAlpha, c.alpha);
    EXPECT_EQ(decoded.image.width, c.width);
    EXPECT_EQ(decoded.image.height, c.height);
    EXPECT_EQ(decoded.image.pixels, original.pixels);
}

std::vector<FilterCase> AllFilterCases() {
    std::vector<FilterCase> cases;
    for (uint8_t filter = 0; filter <= 4; ++filter) {
        for (bool alpha : {false, true}) {
            for (auto [w, h] : {std::pair{1, 1}, {1, 6}, {7, 5}, {33, 3}}) {
                cases.push_back({filter, alpha, w, h});
            }
        }
    }
    return cases;
}

std::string FilterCaseName(const testing::TestParamInfo<FilterCase>& info) {
    static const char* const kFilters[] = {"None", "Sub", "Up", "Average", "Paeth"};
    const FilterCase& c = info.param;
    return std::string(kFilters[c.filter]) + (c.alpha ? "_RGBA_" : "_RGB_") +
           std::to_string(c.width) + "x" + std::to_string(c.height);
}

INSTANTIATE_TEST_SUITE_P(AllFiltersBothForms, DecodeFilter, testing::ValuesIn(AllFilterCases()),
                         FilterCaseName);

// Files written by libpng with adaptive filtering (a different filter from
// row to row), against their pixels as ImageMagick reads them.
TEST(DecodePng, ReadsFilesOfAnotherEncoder) {
    for (const char* name : {"adaptive_rgb", "adaptive_rgba"}) {
        SCOPED_TRACE(name);
        const DecodedPng decoded =
            DecodePng(ReadFile(DataDir() / (std::string(name) + ".png")), kName);
        const Bytes expected = ReadFile(DataDir() / (std::string(name) + ".rgba"));
        ASSERT_EQ(decoded.image.width, 24);
        ASSERT_EQ(decoded.image.height, 40);
        ASSERT_EQ(expected.size(), decoded.image.pixels.size() * 4);
        for (std::size_t i = 0; i < decoded.image.pixels.size(); ++i) {
            const uint8_t* e = &expected[i * 4];
            ASSERT_EQ(decoded.image.pixels[i], MakeArgb(e[3], e[0], e[1], e[2])) << "pixel " << i;
        }
    }
}

TEST(DecodePng, JoinsImageDataSplitOverManyChunksAndSkipsAncillaryOnes) {
    const Image32 original = NoiseImage(9, 4, true);
    const Bytes compressed = Compress(Scanlines(original, true, 4));
    Bytes file = Signature();
    Header h{9, 4};
    Append(file, Chunk("IHDR", IhdrData(h)));
    Append(file, Chunk("gAMA", {0, 0, 0xB1, 0x8F}));
    Append(file, Chunk("PLTE", {1, 2, 3})); // a suggested palette, allowed beside truecolour
    Append(file, Chunk("IDAT", {}));
    for (uint8_t byte : compressed) {
        Append(file, Chunk("IDAT", {byte}));
    }
    Append(file, Chunk("tEXt", {'a', 0, 'b'}));
    Append(file, Chunk("IEND", {}));
    EXPECT_EQ(DecodePng(file, kName).image.pixels, original.pixels);
}

TEST(DecodePng, AcceptsTheLargestSide) {
    Header h{kPngMaxSide, 1, 8, 2};
    const Bytes raw(1 + 3 * kPngMaxSide, 0);
    const DecodedPng decoded = DecodePng(File(h, Compress(raw)), kName);
    EXPECT_EQ(decoded.image.width, kPngMaxSide);
    EXPECT_EQ(decoded.image.pixels.back(), 0xFF000000u);
}

// --- refusals ---------------------------------------------------------------

struct RefusalCase {
    const char* what;
    std::function<Bytes()> file;
    std::wstring reason;
};

// A file refused for its header alone; the image data does not matter.
Bytes WithHeader(Header h) {
    return File(h, Compress(Bytes(64, 0)));
}

Bytes ValidRaw(int w, int h) {
    return Scanlines(NoiseImage(w, h, true), true, 0);
}

std::vector<RefusalCase> RefusalCases() {
    const Header ok{4, 3};
    return {
        {"palette",
         [] {
             return WithHeader({4, 3, 8, 3});
         },
         L"Colour type 3 is not supported"},
        {"grey",
         [] {
             return WithHeader({4, 3, 8, 0});
         },
         L"Colour type 0 is not supported"},
        {"grey alpha",
         [] {
             return WithHeader({4, 3, 8, 4});
         },
         L"Colour type 4 is not supported"},
        {"16-bit RGBA",
         [] {
             return WithHeader({4, 3, 16, 6});
         },
         L"Bit depth 16 is not supported"},
        {"16-bit RGB",
         [] {
             return WithHeader({4, 3, 16, 2});
         },
         L"Bit depth 16 is not supported"},
        {"4-bit RGB",
         [] {
             return WithHeader({4, 3, 4, 2});
         },
         L"Bit depth 4 is not supported"},
        {"interlaced",
         [] {
             return WithHeader({4, 3, 8, 6, 0, 0, 1});
         },
         L"Interlaced images are not supported"},
        {"bad interlace method",
         [] {
             return WithHeader({4, 3, 8, 6, 0, 0, 2});
         },
         L"Interlaced images are not supported"},
        {"compression method",
         [] {
             return WithHeader({4, 3, 8, 6, 1});
         },
         L"The image header is invalid"},
        {"filter method",
         [] {
             return WithHeader({4, 3, 8, 6, 0, 1});
         },
         L"The image header is invalid"},
        {"zero width",
         [] {
             return WithHeader({0, 3});
         },
         L"The image size 0 x 3 is not supported"},
        {"zero height",
         [] {
             return WithHeader({4, 0});
         },
         L"The image size 4 x 0 is not supported"},
        {"too wide",
         [] {
             return WithHeader({kPngMaxSide + 1, 1});
         },
         L"The image size 16385 x 1 is not supported"},
        {"huge",
         [] {
             return WithHeader({0xFFFFFFFFu, 0xFFFFFFFFu});
         },
         L"The image size 4294967295 x 4294967295 is not supported"},
        {"too many pixels",
         [] {
             return WithHeader({kPngMaxSide, kPngMaxSide});
         },
         L"The image size 16384 x 16384 is not supported"},
        {"not a PNG", [] { return Bytes{'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0}; },
         L"The data is not a PNG image"},
        {"empty", [] { return Bytes{}; }, L"The data is not a PNG image"},
        {"only the signature", [] { return Signature(); }, L"The image header is missing"},
        {"data before the header",
         [] {
             Bytes f = Signature();
             Append(f, Chunk("IDAT", Compress(ValidRaw(4, 3))));
             Append(f, Chunk("IHDR", IhdrData({4, 3})));
             Append(f, Chunk("IEND", {}));
             return f;
         },
         L"The image header is missing"},
        {"short header",
         [] {
             Bytes f = Signature();
             Bytes ihdr = IhdrData({4, 3});
             ihdr.pop_back();
             Append(f, Chunk("IHDR", ihdr));
             return f;
         },
         L"The image header is invalid"},
        {"second header",
         [ok] {
             Bytes f = Signature();
             Append(f, Chunk("IHDR", IhdrData(ok)));
             Append(f, Chunk("IHDR", IhdrData(ok)));
             return f;
         },
         L"The image has a second header"},
        {"bad CRC in header",
         [ok] {
             Bytes f = Signature();
             Append(f, Chunk("IHDR", IhdrData(ok), 1));
             return f;
         },
         L"The image data is corrupt (CRC error in chunk IHDR)"},
        {"bad CRC in image data",
         [ok] {
             Bytes f = Signature();
             Append(f, Chunk("IHDR", IhdrData(ok)));
             Append(f, Chunk("IDAT", Compress(ValidRaw(4, 3)), 0x80000000u));
             return f;
         },
         L"The image data is corrupt (CRC error in chunk IDAT)"},
        {"bad CRC in an ancillary chunk",
         [ok] {
             Bytes f = Signature();
             Append(f, Chunk("IHDR", IhdrData(ok)));
             Append(f, Chunk("tEXt", {'a', 0, 'b'}, 4));
             return f;
         },
         L"The image data is corrupt (CRC error in chunk tEXt)"},
        {"bad CRC in the end marker",
         [ok] {
             Bytes f = Signature();
             Append(f, Chunk("IHDR", IhdrData(ok)));
             Append(f, Chunk("IDAT", Compress(ValidRaw(4, 3))));
             Append(f, Chunk("IEND", {}, 2));
             return f;
         },
         L"The image data is corrupt (CRC error in chunk IEND)"},
        {"chunk type not letters",
         [ok] {
             Bytes f = Signature();
             Append(f, Chunk("IHDR", IhdrData(ok)));
             Append(f, Chunk("ID4T", {}));
             return f;
         },
         L"The image data is corrupt (invalid chunk type)"},
        {"chunk length above 2^31 - 1",
         [ok] {
             Bytes f = Signature();
             Append(f, Chunk("IHDR", IhdrData(ok)));
             Put32(f, 0x80000000u);
             Append(f, Bytes{'I', 'D', 'A', 'T', 0, 0, 0, 0});
             return f;
         },
         L"The image data is corrupt (invalid chunk length)"},
        {"chunk longer than the file",
         [ok] {
             Bytes f = Signature();
             Append(f, Chunk("IHDR", IhdrData(ok)));
             Put32(f, 1000);
             Append(f, Bytes{'I', 'D', 'A', 'T', 0, 0, 0, 0, 1, 2, 3, 4});
             return f;
         },
         L"The image data is truncated"},
        {"no image data",
         [ok] {
             Bytes f = Signature();
             Append(f, Chunk("IHDR", IhdrData(ok)));
             Append(f, Chunk("IEND", {}));
             return f;
         },
         L"The image has no image data"},
        {"no end marker",
         [ok] {
             Bytes f = Signature();
             Append(f, Chunk("IHDR", IhdrData(ok)));
             Append(f, Chunk("IDAT", Compress(ValidRaw(4, 3))));
             return f;
         },
         L"The image end marker is missing"},
        {"end marker with data",
         [ok] {
             Bytes f = Signature();
             Append(f, Chunk("IHDR", IhdrData(ok)));
             Append(f, Chunk("IDAT", Compress(ValidRaw(4, 3))));
             Append(f, Chunk("IEND", {0}));
             return f;
         },
         L"The image end marker is invalid"},
        {"data after the end marker",
         [ok] {
             Bytes f = File(ok, Compress(ValidRaw(4, 3)));
             f.push_back(0);
             return f;
         },
         L"Data follows the end of the image"},
        {"image data chunks apart",
         [ok] {
             const Bytes z = Compress(ValidRaw(4, 3));
             Bytes f = Signature();
             Append(f, Chunk("IHDR", IhdrData(ok)));
             Append(f, Chunk("IDAT", Bytes(z.begin(), z.begin() + 5)));
             Append(f, Chunk("tEXt", {'a', 0, 'b'}));
             Append(f, Chunk("IDAT", Bytes(z.begin() + 5, z.end())));
             Append(f, Chunk("IEND", {}));
             return f;
         },
         L"The image data chunks are not consecutive"},
        {"unknown critical chunk",
         [ok] {
             Bytes f = Signature();
             Append(f, Chunk("IHDR", IhdrData(ok)));
             Append(f, Chunk("ABCD", {}));
             return f;
         },
         L"The chunk ABCD is not supported"},
        {"palette after the image data",
         [ok] {
             Bytes f = Signature();
             Append(f, Chunk("IHDR", IhdrData(ok)));
             Append(f, Chunk("IDAT", Compress(ValidRaw(4, 3))));
             Append(f, Chunk("PLTE", {1, 2, 3}));
             Append(f, Chunk("IEND", {}));
             return f;
         },
         L"The chunk PLTE is not supported"},
        {"one row missing", [ok] { return File(ok, Compress(ValidRaw(4, 2))); },
         L"The image data is too short"},
        {"one byte missing",
         [ok] {
             Bytes raw = ValidRaw(4, 3);
             raw.pop_back();
             return File(ok, Compress(raw));
         },
         L"The image data is too short"},
        {"one row too many", [ok] { return File(ok, Compress(ValidRaw(4, 4))); },
         L"The image data is too long"},
        {"one byte too many",
         [ok] {
             Bytes raw = ValidRaw(4, 3);
             raw.push_back(0);
             return File(ok, Compress(raw));
         },
         L"The image data is too long"},
        {"garbage after the compressed stream",
         [ok] {
             Bytes z = Compress(ValidRaw(4, 3));
             z.push_back(0x55);
             return File(ok, z);
         },
         L"The image data is too long"},
        {"compressed stream cut short",
         [ok] {
             Bytes z = Compress(ValidRaw(4, 3));
             z.resize(z.size() - 6); // ends inside the deflate data
             return File(ok, z);
         },
         L"The image data is truncated"},
        {"compressed stream without its checksum",
         [ok] {
             Bytes z = Compress(ValidRaw(4, 3));
             z.resize(z.size() - 4);
             return File(ok, z);
         },
         L"The image data is truncated"},
        {"wrong checksum of the compressed stream",
         [ok] {
             Bytes z = Compress(ValidRaw(4, 3));
             z.back() ^= 1;
             return File(ok, z);
         },
         L"The image data is corrupt (decompression failed)"},
        {"not a zlib stream",
         [ok] {
             return File(ok, Bytes{0xFF, 0xFF, 0xFF, 0xFF});
         },
         L"The image data is corrupt (decompression failed)"},
        {"unknown row filter",
         [ok] {
             Bytes raw = ValidRaw(4, 3);
             raw[1 + 4 * 4] = 5; // the second row's filter type
             return File(ok, Compress(raw));
         },
         L"The image data is corrupt (unknown row filter 5)"},
    };
}

TEST(DecodePng, RefusesWhatItCannotOrMustNotRead) {
    for (const RefusalCase& c : RefusalCases()) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Narrow(RefusalText(c.file())),
                  Narrow(L"Cannot load image \"TITLE_PNL_M\". " + c.reason));
    }
}

Bytes SampleFile() {
    const Image32 image = NoiseImage(5, 4, true);
    const Bytes z = Compress(Scanlines(image, true, 4));
    Bytes f = Signature();
    Append(f, Chunk("IHDR", IhdrData({5, 4})));
    Append(f, Chunk("tEXt", {'k', 0, 'v'}));
    Append(f, Chunk("IDAT", Bytes(z.begin(), z.begin() + z.size() / 2)));
    Append(f, Chunk("IDAT", Bytes(z.begin() + z.size() / 2, z.end())));
    Append(f, Chunk("IEND", {}));
    return f;
}

TEST(DecodePng, RefusesEveryTruncationOfAValidFile) {
    const Bytes file = SampleFile();
    ASSERT_EQ(RefusalText(file), L"(accepted)");
    for (std::size_t length = 0; length < file.size(); ++length) {
        const std::wstring text = RefusalText(Bytes(file.begin(), file.begin() + length));
        EXPECT_EQ(text.rfind(L"Cannot load image \"TITLE_PNL_M\". ", 0), 0u)
            << "length " << length << ": " << Narrow(text);
    }
}

TEST(DecodePng, RefusesEverySingleBitFlip) {
    const Bytes file = SampleFile();
    for (std::size_t i = 0; i < file.size(); ++i) {
        for (uint8_t bit : {uint8_t{0x01}, uint8_t{0x20}, uint8_t{0x80}}) {
            Bytes damaged = file;
            damaged[i] ^= bit;
            const std::wstring text = RefusalText(damaged);
            EXPECT_EQ(text.rfind(L"Cannot load image \"TITLE_PNL_M\". ", 0), 0u)
                << "byte " << i << " bit " << int(bit) << ": " << Narrow(text);
        }
    }
}

// --- flattening over white --------------------------------------------------

TEST(FlattenOverWhite, BlendsEveryValueToTheNearestAndMakesItOpaque) {
    Image32 image(256, 256);
    for (int a = 0; a < 256; ++a) {
        for (int c = 0; c < 256; ++c) {
            image.at(c, a) = MakeArgb(a, c, 255 - c, c / 2);
        }
    }
    FlattenOverWhite(image);
    const auto expected = [](int c, int a) {
        return static_cast<uint8_t>(std::lround((c * a + 255.0 * (255 - a)) / 255.0));
    };
    for (int a = 0; a < 256; ++a) {
        for (int c = 0; c < 256; ++c) {
            ASSERT_EQ(image.at(c, a),
                      MakeArgb(255, expected(c, a), expected(255 - c, a), expected(c / 2, a)))
                << "a=" << a << " c=" << c;
        }
    }
}

TEST(LoadPngImage, PutsTheImageOnWhite) {
    Image32 source(4, 1);
    source.pixels = {
        MakeArgb(0, 10, 20, 30),      // transparent
        MakeArgb(128, 0, 0, 0),       // half-transparent black shadow
        MakeArgb(255, 236, 236, 235), // opaque
        MakeArgb(64, 255, 0, 0),      // light red
    };
    const Image32 loaded = LoadPngImage(Encode(source, true), L"MAIN");
    ASSERT_EQ(loaded.pixels.size(), 4u);
    EXPECT_EQ(loaded.pixels[0], 0xFFFFFFFFu);
    EXPECT_EQ(loaded.pixels[1], MakeArgb(255, 127, 127, 127));
    EXPECT_EQ(loaded.pixels[2], MakeArgb(255, 236, 236, 235));
    EXPECT_EQ(loaded.pixels[3], MakeArgb(255, 255, 191, 191));
}

TEST(LoadPngImage, RaisesWithTheImageName) {
    try {
        LoadPngImage(WithHeader({4, 3, 8, 3}), L"LOGO");
        FAIL() << "a palette image was accepted";
    } catch (const AppError& e) {
        EXPECT_EQ(Narrow(e.text()), "Cannot load image \"LOGO\". Colour type 3 is not supported");
    }
}

} // namespace
