// The buttons' glyphs drawn in code: 16 x 16, transparent around the
// picture, in colour or greyed.
#include <gtest/gtest.h>

#include "ui/portable/Glyphs.h"

namespace {

int Alpha(std::uint32_t p) {
    return static_cast<int>(p >> 24);
}
int Red(std::uint32_t p) {
    return static_cast<int>((p >> 16) & 0xFF);
}
int Green(std::uint32_t p) {
    return static_cast<int>((p >> 8) & 0xFF);
}
int Blue(std::uint32_t p) {
    return static_cast<int>(p & 0xFF);
}

int Chroma(std::uint32_t p) {
    return std::max({Red(p), Green(p), Blue(p)}) - std::min({Red(p), Green(p), Blue(p)});
}

int Opaque(const TPixelBuffer& image) {
    int count = 0;
    for (std::uint32_t p : image.Pixels) {
        count += Alpha(p) > 128 ? 1 : 0;
    }
    return count;
}

} // namespace

TEST(Glyphs, EveryGlyphIsAPictureWithATransparentSurrounding) {
    for (TGlyph glyph :
         {TGlyph::Next, TGlyph::Back, TGlyph::Cancel, TGlyph::Exit, TGlyph::Tick, TGlyph::Gear}) {
        const TPixelBuffer image = MakeGlyph(glyph);
        ASSERT_EQ(image.Width, kGlyphSize);
        ASSERT_EQ(image.Height, kGlyphSize);
        EXPECT_GT(Opaque(image), 30) << static_cast<int>(glyph);
        EXPECT_LT(Opaque(image), 200) << static_cast<int>(glyph);
        EXPECT_EQ(Alpha(image.At(0, 15)), 0) << static_cast<int>(glyph);
    }
    EXPECT_EQ(Opaque(MakeGlyph(TGlyph::None)), 0);
}

TEST(Glyphs, ColoursByMeaningAndGreyedVariants) {
    const TPixelBuffer cross = MakeGlyph(TGlyph::Cancel);
    EXPECT_GT(Red(cross.At(8, 8)), 150); // red cross through the centre
    EXPECT_LT(Green(cross.At(8, 8)), 80);
    EXPECT_EQ(Alpha(cross.At(8, 1)), 0); // open between the arms
    const TPixelBuffer tick = MakeGlyph(TGlyph::Tick);
    int greenPixels = 0;
    for (std::uint32_t p : tick.Pixels) {
        greenPixels += Alpha(p) > 128 && Green(p) > Red(p) + 50 ? 1 : 0;
    }
    EXPECT_GT(greenPixels, 20);
    // Back is Next mirrored (up to the smoothing of the edges).
    const TPixelBuffer next = MakeGlyph(TGlyph::Next);
    const TPixelBuffer back = MakeGlyph(TGlyph::Back);
    for (int y = 0; y < kGlyphSize; ++y) {
        for (int x = 0; x < kGlyphSize; ++x) {
            EXPECT_NEAR(Alpha(next.At(x, y)), Alpha(back.At(kGlyphSize - 1 - x, y)), 48);
        }
    }
    for (TGlyph glyph : {TGlyph::Cancel, TGlyph::Tick, TGlyph::Next}) {
        const TPixelBuffer coloured = MakeGlyph(glyph);
        const TPixelBuffer greyed = MakeGlyph(glyph, true);
        for (std::size_t i = 0; i < greyed.Pixels.size(); ++i) {
            EXPECT_LE(Chroma(greyed.Pixels[i]), 1);
            EXPECT_EQ(Alpha(greyed.Pixels[i]) == 0, Alpha(coloured.Pixels[i]) == 0);
        }
    }
}

TEST(Glyphs, BlendOverAnOpaqueBackground) {
    EXPECT_EQ(BlendOver(0x00FF0000u, 0x102030u), 0xFF102030u);
    EXPECT_EQ(BlendOver(0xFFFF0000u, 0x102030u), 0xFFFF0000u);
    EXPECT_EQ(BlendOver(0x80FFFFFFu, 0x000000u), 0xFF808080u);
}

TEST(ImageList, HoldsGlyphsByIndex) {
    TImageList list;
    EXPECT_EQ(list.Add(MakeGlyph(TGlyph::Cancel)), 0);
    EXPECT_EQ(list.Add(MakeGlyph(TGlyph::Cancel, true)), 1);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list[1].Pixels, MakeGlyph(TGlyph::Cancel, true).Pixels);
    EXPECT_THROW(list[2], std::out_of_range);
}
