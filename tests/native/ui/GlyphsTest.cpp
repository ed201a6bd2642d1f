// The buttons' glyphs drawn in code: 16 x 16, transparent around the
// picture, in colour or greyed.
#include <gtest/gtest.h>

#include "ui/portable/Glyphs.h"

using ui::BlendOver;
using ui::Image32;
using ui::kGlyphSize;
using ui::MakeGlyph;
using ui::TGlyph;
using ui::TImageList;

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

int Opaque(const Image32& image) {
    int count = 0;
    for (std::uint32_t p : image.pixels) {
        count += Alpha(p) > 128 ? 1 : 0;
    }
    return count;
}

} // namespace

TEST(Glyphs, EveryGlyphIsAPictureWithATransparentSurrounding) {
    for (TGlyph glyph :
         {TGlyph::Next, TGlyph::Back, TGlyph::Cancel, TGlyph::Exit, TGlyph::Tick, TGlyph::Gear}) {
        const Image32 image = MakeGlyph(glyph);
        ASSERT_EQ(image.width, kGlyphSize);
        ASSERT_EQ(image.height, kGlyphSize);
        EXPECT_GT(Opaque(image), 30) << static_cast<int>(glyph);
        EXPECT_LT(Opaque(image), 200) << static_cast<int>(glyph);
        EXPECT_EQ(Alpha(image.at(0, 15)), 0) << static_cast<int>(glyph);
    }
    EXPECT_EQ(Opaque(MakeGlyph(TGlyph::None)), 0);
}

TEST(Glyphs, ColoursByMeaningAndGreyedVariants) {
    const Image32 cross = MakeGlyph(TGlyph::Cancel);
    EXPECT_GT(Red(cross.at(8, 8)), 150); // red cross through the centre
    EXPECT_LT(Green(cross.at(8, 8)), 80);
    EXPECT_EQ(Alpha(cross.at(8, 1)), 0); // open between the arms
    const Image32 tick = MakeGlyph(TGlyph::Tick);
    int greenPixels = 0;
    for (std::uint32_t p : tick.pixels) {
        greenPixels += Alpha(p) > 128 && Green(p) > Red(p) + 50 ? 1 : 0;
    }
    EXPECT_GT(greenPixels, 20);
    // Back is Next mirrored (up to the smoothing of the edges).
    const Image32 next = MakeGlyph(TGlyph::Next);
    const Image32 back = MakeGlyph(TGlyph::Back);
    for (int y = 0; y < kGlyphSize; ++y) {
        for (int x = 0; x < kGlyphSize; ++x) {
            EXPECT_NEAR(Alpha(next.at(x, y)), Alpha(back.at(kGlyphSize - 1 - x, y)), 48);
        }
    }
    for (TGlyph glyph : {TGlyph::Cancel, TGlyph::Tick, TGlyph::Next}) {
        const Image32 coloured = MakeGlyph(glyph);
        const Image32 greyed = MakeGlyph(glyph, true);
        for (std::size_t i = 0; i < greyed.pixels.size(); ++i) {
            EXPECT_LE(Chroma(greyed.pixels[i]), 1);
            EXPECT_EQ(Alpha(greyed.pixels[i]) == 0, Alpha(coloured.pixels[i]) == 0);
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
    EXPECT_EQ(list[1].pixels, MakeGlyph(TGlyph::Cancel, true).pixels);
    EXPECT_THROW(list[2], std::out_of_range);
}
