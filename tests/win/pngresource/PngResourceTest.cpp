#include "app/LoadPngResource.h"
#include "app/portable/BackgroundComposer.h"
#include "base/AppError.h"

#include <gtest/gtest.h>

#include "fixtures/ShippedImages.h"

#include <algorithm>
#include <windows.h>

using app::LoadPngResource;
using app::TitleColor;
using base::AppError;
using ui::AlphaOf;
using ui::Image32;
using ui::MakeArgb;

namespace {

TEST(LoadPngResource, LoadsTheSevenEmbeddedImagesOpaque) {
    for (const fixtures::ShippedImage& e : fixtures::kShippedImages) {
        SCOPED_TRACE(e.file);
        Image32 bitmap(3, 3, 0x12345678);
        LoadPngResource(bitmap, e.resource);
        EXPECT_EQ(bitmap.width, e.width);
        EXPECT_EQ(bitmap.height, e.height);
        ASSERT_EQ(bitmap.pixels.size(), std::size_t(e.width) * std::size_t(e.height));
        EXPECT_TRUE(std::all_of(bitmap.pixels.begin(), bitmap.pixels.end(),
                                [](uint32_t p) { return AlphaOf(p) == 255; }));
    }
}

TEST(LoadPngResource, TitleGroundGivesTheTitleColour) {
    Image32 title;
    LoadPngResource(title, L"TITLE");
    EXPECT_EQ(title.at(0, 0), MakeArgb(255, 236, 236, 235));
    EXPECT_EQ(TitleColor(title), 0x00EBECECu);
    EXPECT_EQ(TitleColor(title), static_cast<uint32_t>(RGB(236, 236, 235)));
}

TEST(LoadPngResource, TransparentPartsBecomeWhite) {
    // The panels image is transparent in its corners, outside the shadow.
    Image32 panels;
    LoadPngResource(panels, L"MAIN");
    EXPECT_EQ(panels.at(0, 0), 0xFFFFFFFFu);
}

TEST(LoadPngResource, MissingResourceIsNamed) {
    Image32 bitmap(2, 2, 0x11111111);
    try {
        LoadPngResource(bitmap, L"NO_SUCH_IMAGE");
        FAIL() << "a missing resource was loaded";
    } catch (const AppError& e) {
        EXPECT_EQ(e.text(),
                  L"Cannot load image \"NO_SUCH_IMAGE\". The program has no such image resource");
    }
    EXPECT_EQ(bitmap.width, 2);
    EXPECT_EQ(bitmap.pixels.front(), 0x11111111u);
}

TEST(LoadPngResource, NonImageResourceIsRefusedWithItsName) {
    // INFO is raw data too, but a rich-text document.
    Image32 bitmap;
    try {
        LoadPngResource(bitmap, L"INFO");
        FAIL() << "a rich-text document was loaded as an image";
    } catch (const AppError& e) {
        EXPECT_EQ(e.text(), L"Cannot load image \"INFO\". The data is not a PNG image");
    }
}

TEST(LoadPngResource, NumericNameIsShownWithHash) {
    Image32 bitmap;
    try {
        LoadPngResource(bitmap, MAKEINTRESOURCEW(4711));
        FAIL() << "resource #4711 does not exist";
    } catch (const AppError& e) {
        EXPECT_EQ(e.text(), L"Cannot load image \"#4711\". The program has no such image resource");
    }
}

} // namespace
