#include "app/portable/BackgroundComposer.h"

namespace app {

using ui::BlueOf;
using ui::DrawOpaque;
using ui::GreenOf;
using ui::Image32;
using ui::kOpaqueWhite;
using ui::RedOf;

namespace {

// The tile repeated from (0, 0) in steps of its size for as long as its
// top-left corner lies within the surface, its right and bottom edges
// included.
void PlanTiles(std::vector<BackgroundDraw>& draws, int width, int height, const Image32& tile) {
    if (tile.empty()) {
        return;
    }
    for (long long y = 0; y <= height; y += tile.height) {
        for (long long x = 0; x <= width; x += tile.width) {
            draws.push_back({BackgroundPart::Background, static_cast<int>(x), static_cast<int>(y)});
        }
    }
}

// The title band: left end, right end against the right edge, and the middle
// slice repeated on every column between them.
void PlanTitleBand(std::vector<BackgroundDraw>& draws, int width, const BackgroundImages& images) {
    const int left = images.titlePnlL.width;
    const int right = width - images.titlePnlR.width;
    draws.push_back({BackgroundPart::TitlePnlL, 0, 0});
    draws.push_back({BackgroundPart::TitlePnlR, right, 0});
    for (int x = left; x < right; ++x) {
        draws.push_back({BackgroundPart::TitlePnlM, x, 0});
    }
}

} // namespace

const Image32& ImageOf(const BackgroundImages& images, BackgroundPart part) {
    switch (part) {
    case BackgroundPart::Background:
        return images.background;
    case BackgroundPart::TitlePnlL:
        return images.titlePnlL;
    case BackgroundPart::TitlePnlR:
        return images.titlePnlR;
    case BackgroundPart::TitlePnlM:
        return images.titlePnlM;
    case BackgroundPart::Logo:
        return images.logo;
    case BackgroundPart::Title:
        return images.title;
    case BackgroundPart::Panels:
        break;
    }
    return images.panels;
}

std::vector<BackgroundDraw> PlanBackground(int width, int height, const BackgroundImages& images) {
    std::vector<BackgroundDraw> draws;
    PlanTiles(draws, width, height, images.background);
    PlanTitleBand(draws, width, images);
    draws.push_back({BackgroundPart::Logo, images.titlePnlL.width - 5, 15});
    draws.push_back({BackgroundPart::Title, (width - images.title.width) / 2, 20});
    draws.push_back({BackgroundPart::Panels, -3, 95});
    return draws;
}

void ComposeBackground(Image32& surface, const BackgroundImages& images) {
    for (const BackgroundDraw& draw : PlanBackground(surface.width, surface.height, images)) {
        DrawOpaque(surface, ImageOf(images, draw.part), draw.x, draw.y);
    }
}

uint32_t TitleColor(const Image32& title) {
    const uint32_t argb = title.empty() ? kOpaqueWhite : title.at(0, 0);
    return uint32_t{RedOf(argb)} | (uint32_t{GreenOf(argb)} << 8) | (uint32_t{BlueOf(argb)} << 16);
}

} // namespace app
