#include "app/portable/BackgroundComposer.h"
#include "app/portable/PngDecoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "fixtures/ShippedImages.h"

using app::BackgroundDraw;
using app::BackgroundImages;
using app::BackgroundPart;
using app::ComposeBackground;
using app::DecodedPng;
using app::DecodePng;
using app::LoadPngImage;
using app::PlanBackground;
using app::TitleColor;
using ui::AlphaOf;
using ui::DrawOpaque;
using ui::Image32;
using ui::MakeArgb;

namespace {

// Synthetic bitmaps of the shipped sizes whose every pixel tells which image
// it comes from and where: 0xIIXXXYYY (image id, column, row).
Image32 Tagged(uint32_t id, int width, int height) {
    Image32 image(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.at(x, y) = (id << 24) | (uint32_t(x) << 12) | uint32_t(y);
        }
    }
    return image;
}

struct Bitmaps {
    Image32 background, panels, logo, titlePnlL, titlePnlR, titlePnlM, title;

    BackgroundImages images() const {
        return {background, panels, logo, titlePnlL, titlePnlR, titlePnlM, title};
    }
};

Image32 TaggedOfSize(uint32_t id, const wchar_t* resource) {
    const fixtures::ShippedImage& image = fixtures::ShippedImageNamed(resource);
    return Tagged(id, image.width, image.height);
}

Bitmaps ShippedSizes() {
    return {TaggedOfSize(1, L"BACKGROUND"),  TaggedOfSize(2, L"MAIN"),
            TaggedOfSize(3, L"LOGO"),        TaggedOfSize(4, L"TITLE_PNL_L"),
            TaggedOfSize(5, L"TITLE_PNL_R"), TaggedOfSize(6, L"TITLE_PNL_M"),
            TaggedOfSize(7, L"TITLE")};
}

bool Covers(const Image32& image, int left, int top, int x, int y) {
    return x >= left && y >= top && x - left < image.width && y - top < image.height;
}

// What the finished background shows at (x, y): the last drawing that covers
// the pixel, found by going through the drawings from the last to the first.
uint32_t ExpectedPixel(const Bitmaps& b, int width, int x, int y) {
    if (Covers(b.panels, -3, 95, x, y)) {
        return b.panels.at(x + 3, y - 95);
    }
    const int titleLeft = (width - b.title.width) / 2;
    if (Covers(b.title, titleLeft, 20, x, y)) {
        return b.title.at(x - titleLeft, y - 20);
    }
    const int left = b.titlePnlL.width;
    if (Covers(b.logo, left - 5, 15, x, y)) {
        return b.logo.at(x - (left - 5), y - 15);
    }
    // Slices start on every column from `left` to `right` - 1; the last one
    // drawn over x is the one starting furthest right, at or before x.
    const int right = width - b.titlePnlR.width;
    const int slice = std::min(x, right - 1);
    if (slice >= left && Covers(b.titlePnlM, slice, 0, x, y)) {
        return b.titlePnlM.at(x - slice, y);
    }
    if (Covers(b.titlePnlR, right, 0, x, y)) {
        return b.titlePnlR.at(x - right, y);
    }
    if (Covers(b.titlePnlL, 0, 0, x, y)) {
        return b.titlePnlL.at(x, y);
    }
    return b.background.at(x % b.background.width, y % b.background.height);
}

void ExpectComposedAsDrawn(const Bitmaps& b, int width, int height) {
    Image32 surface(width, height, 0xDEADBEEF);
    ComposeBackground(surface, b.images());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            ASSERT_EQ(surface.at(x, y), ExpectedPixel(b, width, x, y))
                << "at (" << x << ", " << y << ") of " << width << " x " << height;
        }
    }
}

std::vector<BackgroundDraw> DrawsOf(const std::vector<BackgroundDraw>& plan, BackgroundPart part) {
    std::vector<BackgroundDraw> out;
    std::copy_if(plan.begin(), plan.end(), std::back_inserter(out),
                 [part](const BackgroundDraw& d) { return d.part == part; });
    return out;
}

std::set<int> Coordinates(const std::vector<BackgroundDraw>& draws, int BackgroundDraw::*axis) {
    std::set<int> out;
    for (const BackgroundDraw& d : draws) {
        out.insert(d.*axis);
    }
    return out;
}

TEST(ComposeBackground, FixedWindowSizeIsDrawnPixelForPixel) {
    const Bitmaps b = ShippedSizes();
    ExpectComposedAsDrawn(b, 954, 579);

    Image32 surface(954, 579);
    ComposeBackground(surface, b.images());
    EXPECT_EQ(surface.at(17, 15), b.logo.at(0, 0));
    EXPECT_EQ(surface.at(227, 20), b.title.at(0, 0));
    EXPECT_EQ(surface.at(726, 85), b.title.at(499, 65));
    EXPECT_EQ(surface.at(0, 95), b.panels.at(3, 0));
    EXPECT_EQ(surface.at(953, 566), b.panels.at(956, 471));
    EXPECT_EQ(surface.at(953, 567), b.background.at(953 - 896, 567 - 512));
    EXPECT_EQ(surface.at(931, 5), b.titlePnlM.at(0, 5));
    EXPECT_EQ(surface.at(932, 5), b.titlePnlR.at(0, 5));
}

TEST(ComposeBackground, FixedWindowSizeDrawsTheGivenCopies) {
    const Bitmaps b = ShippedSizes();
    const std::vector<BackgroundDraw> plan = PlanBackground(954, 579, b.images());

    const auto tiles = DrawsOf(plan, BackgroundPart::Background);
    EXPECT_EQ(Coordinates(tiles, &BackgroundDraw::x),
              (std::set<int>{0, 128, 256, 384, 512, 640, 768, 896}));
    EXPECT_EQ(Coordinates(tiles, &BackgroundDraw::y), (std::set<int>{0, 128, 256, 384, 512}));
    EXPECT_EQ(tiles.size(), 8u * 5u);

    const auto slices = DrawsOf(plan, BackgroundPart::TitlePnlM);
    ASSERT_EQ(slices.size(), 910u);
    EXPECT_EQ(slices.front(), (BackgroundDraw{BackgroundPart::TitlePnlM, 22, 0}));
    EXPECT_EQ(slices.back(), (BackgroundDraw{BackgroundPart::TitlePnlM, 931, 0}));

    // The title band and the pieces on top of it, in drawing order.
    const std::vector<BackgroundDraw> last(plan.end() - 3, plan.end());
    EXPECT_EQ(last, (std::vector<BackgroundDraw>{{BackgroundPart::Logo, 17, 15},
                                                 {BackgroundPart::Title, 227, 20},
                                                 {BackgroundPart::Panels, -3, 95}}));
    EXPECT_EQ(DrawsOf(plan, BackgroundPart::TitlePnlL),
              (std::vector<BackgroundDraw>{{BackgroundPart::TitlePnlL, 0, 0}}));
    EXPECT_EQ(DrawsOf(plan, BackgroundPart::TitlePnlR),
              (std::vector<BackgroundDraw>{{BackgroundPart::TitlePnlR, 932, 0}}));
}

TEST(ComposeBackground, MaximisedWindowStretchesTheBandAndCentresTheTitle) {
    const Bitmaps b = ShippedSizes();
    ExpectComposedAsDrawn(b, 1280, 1024);

    const std::vector<BackgroundDraw> plan = PlanBackground(1280, 1024, b.images());
    const auto tiles = DrawsOf(plan, BackgroundPart::Background);
    // Tiling goes on while the corner is within the surface, edge included.
    EXPECT_EQ(*Coordinates(tiles, &BackgroundDraw::x).rbegin(), 1280);
    EXPECT_EQ(*Coordinates(tiles, &BackgroundDraw::y).rbegin(), 1024);
    EXPECT_EQ(DrawsOf(plan, BackgroundPart::TitlePnlM).size(), 1280u - 22u - 22u);
    EXPECT_EQ(DrawsOf(plan, BackgroundPart::Title).at(0).x, 390);
    EXPECT_EQ(DrawsOf(plan, BackgroundPart::Logo).at(0).x, 17);
    EXPECT_EQ(DrawsOf(plan, BackgroundPart::Panels).at(0).x, -3);
}

TEST(ComposeBackground, OddWidthsAndNarrowSurfaces) {
    const Bitmaps b = ShippedSizes();
    struct Case {
        int width, height;
        std::size_t slices;
        int titleX;
    };
    for (const Case c : {Case{1279, 1000, 1235, 389}, Case{45, 90, 1, -227}, Case{44, 90, 0, -228},
                         Case{41, 90, 0, -229}, Case{10, 10, 0, -245}, Case{1, 1, 0, -249}}) {
        SCOPED_TRACE(c.width);
        const std::vector<BackgroundDraw> plan = PlanBackground(c.width, c.height, b.images());
        EXPECT_EQ(DrawsOf(plan, BackgroundPart::TitlePnlM).size(), c.slices);
        EXPECT_EQ(DrawsOf(plan, BackgroundPart::Title).at(0).x, c.titleX); // toward zero
        ExpectComposedAsDrawn(b, c.width, c.height);
    }
}

TEST(ComposeBackground, OtherImageSizesFollowTheFormulas) {
    Bitmaps b{Tagged(1, 50, 30), Tagged(2, 300, 200), Tagged(3, 10, 12), Tagged(4, 31, 40),
              Tagged(5, 9, 44),  Tagged(6, 3, 41),    Tagged(7, 101, 9)};
    ExpectComposedAsDrawn(b, 400, 333);
    const std::vector<BackgroundDraw> plan = PlanBackground(400, 333, b.images());
    EXPECT_EQ(DrawsOf(plan, BackgroundPart::Logo).at(0),
              (BackgroundDraw{BackgroundPart::Logo, 26, 15}));
    EXPECT_EQ(DrawsOf(plan, BackgroundPart::Title).at(0).x, 149);
    EXPECT_EQ(DrawsOf(plan, BackgroundPart::TitlePnlM).size(), 400u - 9u - 31u);
}

TEST(ComposeBackground, EmptyTileDoesNotHang) {
    Bitmaps b = ShippedSizes();
    b.background = Image32();
    Image32 surface(100, 100, 0x11223344);
    ComposeBackground(surface, b.images());
    EXPECT_EQ(DrawsOf(PlanBackground(100, 100, b.images()), BackgroundPart::Background).size(), 0u);
    EXPECT_EQ(surface.at(50, 96), b.panels.at(53, 1));
}

TEST(DrawOpaque, ClipsAtEveryEdgeAndFarOutside) {
    const Image32 source = Tagged(9, 5, 4);
    struct Position {
        int x, y;
    };
    for (const Position p : {Position{0, 0},
                             {-2, -1},
                             {4, 3},
                             {-5, 0},
                             {6, 5},
                             {-4, -3},
                             {INT_MAX, 0},
                             {INT_MIN, INT_MIN},
                             {0, INT_MAX},
                             {INT_MIN, 2}}) {
        SCOPED_TRACE(std::to_string(p.x) + ", " + std::to_string(p.y));
        Image32 target(6, 5, 7);
        DrawOpaque(target, source, p.x, p.y);
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 6; ++x) {
                const long long sx = (long long)x - p.x, sy = (long long)y - p.y;
                const bool inside = sx >= 0 && sy >= 0 && sx < 5 && sy < 4;
                ASSERT_EQ(target.at(x, y), inside ? source.at(int(sx), int(sy)) : 7u)
                    << x << ", " << y;
            }
        }
    }
}

TEST(TitleColor, IsTheTopLeftPixelAsBlueGreenRed) {
    Image32 title(3, 2, 0xFF000000);
    title.at(0, 0) = MakeArgb(0x80, 0x12, 0x34, 0x56);
    EXPECT_EQ(TitleColor(title), 0x00563412u);
    EXPECT_EQ(TitleColor(Image32()), 0x00FFFFFFu);
}

// --- the shipped images ------------------------------------------------------

std::vector<uint8_t> ReadImageFile(const char* name) {
    const char* source = std::getenv("VESTAR_SOURCE_DIR");
    const auto path = std::filesystem::path(source ? source : ".") / "resources/images" / name;
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

TEST(ShippedImages, HaveTheirSizesAndForms) {
    for (const fixtures::ShippedImage& s : fixtures::kShippedImages) {
        SCOPED_TRACE(s.file);
        const DecodedPng d = DecodePng(ReadImageFile(s.file), L"shipped");
        EXPECT_EQ(d.image.width, s.width);
        EXPECT_EQ(d.image.height, s.height);
        EXPECT_EQ(d.hasAlpha, s.hasAlpha);
        if (s.opaque) {
            EXPECT_TRUE(std::all_of(d.image.pixels.begin(), d.image.pixels.end(),
                                    [](uint32_t p) { return AlphaOf(p) == 255; }));
        }
    }
    const DecodedPng title = DecodePng(ReadImageFile("title.png"), L"TITLE");
    EXPECT_EQ(title.image.at(0, 0), MakeArgb(255, 236, 236, 235));
}

TEST(ShippedImages, ComposeTheWindowBackground) {
    const auto load = [](const char* file) { return LoadPngImage(ReadImageFile(file), L"x"); };
    const Bitmaps b{load("background.png"),  load("main.png"),        load("logo.png"),
                    load("title_pnl_l.png"), load("title_pnl_r.png"), load("title_pnl_m.png"),
                    load("title.png")};
    EXPECT_EQ(TitleColor(b.title), 0x00EBECECu);
    ExpectComposedAsDrawn(b, 954, 579);
    Image32 surface(954, 579);
    ComposeBackground(surface, b.images());
    EXPECT_TRUE(std::all_of(surface.pixels.begin(), surface.pixels.end(),
                            [](uint32_t p) { return AlphaOf(p) == 255; }));
}

} // namespace
