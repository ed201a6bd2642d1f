#include "ui/portable/Glyphs.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

struct Point {
    double x;
    double y;
};
using Polygon = std::vector<Point>;

// One coloured part of a glyph: the union of `parts` less the union of
// `holes`.
struct Layer {
    std::vector<Polygon> parts;
    std::vector<Polygon> holes;
    std::uint32_t rgb;
};

constexpr double kPi = 3.14159265358979323846;
constexpr int kSamples = 4; // per axis and pixel

bool Inside(const Polygon& polygon, double x, double y) {
    bool inside = false;
    for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const Point& a = polygon[i];
        const Point& b = polygon[j];
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) {
            inside = !inside;
        }
    }
    return inside;
}

bool InsideAny(const std::vector<Polygon>& polygons, double x, double y) {
    return std::any_of(polygons.begin(), polygons.end(),
                       [&](const Polygon& p) { return Inside(p, x, y); });
}

// A bar of half-width `half` from a to b.
Polygon Bar(Point a, Point b, double half) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double length = std::sqrt(dx * dx + dy * dy);
    const double nx = -dy / length * half;
    const double ny = dx / length * half;
    return {{a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}};
}

Polygon Circle(Point centre, double radius) {
    Polygon circle;
    for (int i = 0; i < 24; ++i) {
        const double angle = 2 * kPi * i / 24;
        circle.push_back(
            {centre.x + radius * std::cos(angle), centre.y + radius * std::sin(angle)});
    }
    return circle;
}

Polygon Rect(double left, double top, double right, double bottom) {
    return {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
}

Polygon Mirrored(Polygon polygon) {
    for (Point& p : polygon) {
        p.x = kGlyphSize - p.x;
    }
    return polygon;
}

const Polygon kArrowRight = {{1.5, 6.2}, {8, 6.2}, {8, 2.5},  {14.5, 8},
                             {8, 13.5},  {8, 9.8}, {1.5, 9.8}};

Polygon GearOutline() {
    Polygon gear;
    constexpr int kTeeth = 8;
    constexpr int kSteps = 96;
    for (int i = 0; i < kSteps; ++i) {
        const double angle = 2 * kPi * i / kSteps;
        const double phase = std::fmod(angle * kTeeth / (2 * kPi) + 0.25, 1.0);
        const double radius = phase < 0.5 ? 7.3 : 5.3;
        gear.push_back({8 + radius * std::cos(angle), 8 + radius * std::sin(angle)});
    }
    return gear;
}

std::vector<Layer> LayersOf(TGlyph glyph) {
    switch (glyph) {
    case TGlyph::Next:
        return {{{kArrowRight}, {}, 0x216EC8}};
    case TGlyph::Back:
        return {{{Mirrored(kArrowRight)}, {}, 0x216EC8}};
    case TGlyph::Cancel:
        return {{{Bar({3, 3}, {13, 13}, 1.7), Bar({13, 3}, {3, 13}, 1.7)}, {}, 0xD02020}};
    case TGlyph::Tick:
        return {{{Bar({2.5, 8.5}, {6.3, 12.3}, 1.6), Bar({6.3, 12.3}, {13.5, 3.5}, 1.6),
                  Circle({6.3, 12.3}, 1.6)},
                 {},
                 0x1E9632}};
    case TGlyph::Exit:
        return {
            {{Rect(2, 1.5, 10, 14.5)}, {Rect(3.2, 2.7, 8.8, 13.3)}, 0x5A3C1E},
            {{Rect(3.2, 2.7, 8.8, 13.3)}, {}, 0xC08246},
            {{Circle({7.6, 8.3}, 0.8)}, {}, 0xF0D050},
            {{{{9, 7}, {12, 7}, {12, 4.8}, {15.3, 8}, {12, 11.2}, {12, 9}, {9, 9}}}, {}, 0x1E9632}};
    case TGlyph::Gear:
        return {{{GearOutline()}, {Circle({8, 8}, 2.4)}, 0x5A6478}};
    case TGlyph::None:
        break;
    }
    return {};
}

std::uint32_t Greyed(std::uint32_t argb) {
    const double r = (argb >> 16) & 0xFF;
    const double g = (argb >> 8) & 0xFF;
    const double b = argb & 0xFF;
    const double luminance = 0.3 * r + 0.59 * g + 0.11 * b;
    const auto grey = static_cast<std::uint32_t>(150 + luminance * 0.35);
    const auto alpha = static_cast<std::uint32_t>(((argb >> 24) & 0xFF) * 0.8);
    return (alpha << 24) | (grey << 16) | (grey << 8) | grey;
}

// `top` (straight alpha) over `bottom` (straight alpha).
std::uint32_t Over(std::uint32_t top, std::uint32_t bottom) {
    const double ta = ((top >> 24) & 0xFF) / 255.0;
    const double ba = ((bottom >> 24) & 0xFF) / 255.0;
    const double a = ta + ba * (1 - ta);
    if (a <= 0) {
        return 0;
    }
    std::uint32_t result = static_cast<std::uint32_t>(std::lround(a * 255)) << 24;
    for (int shift = 0; shift <= 16; shift += 8) {
        const double t = (top >> shift) & 0xFF;
        const double b = (bottom >> shift) & 0xFF;
        const double c = (t * ta + b * ba * (1 - ta)) / a;
        result |= static_cast<std::uint32_t>(std::lround(c)) << shift;
    }
    return result;
}

void Paint(Image32& image, const Layer& layer) {
    for (int y = 0; y < kGlyphSize; ++y) {
        for (int x = 0; x < kGlyphSize; ++x) {
            int covered = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const double px = x + (sx + 0.5) / kSamples;
                    const double py = y + (sy + 0.5) / kSamples;
                    if (InsideAny(layer.parts, px, py) && !InsideAny(layer.holes, px, py)) {
                        ++covered;
                    }
                }
            }
            if (covered == 0) {
                continue;
            }
            const auto alpha = static_cast<std::uint32_t>(covered * 255 / (kSamples * kSamples));
            image.at(x, y) = Over((alpha << 24) | layer.rgb, image.at(x, y));
        }
    }
}

} // namespace

Image32 MakeGlyph(TGlyph glyph, bool greyed) {
    Image32 image(kGlyphSize, kGlyphSize, 0);
    for (const Layer& layer : LayersOf(glyph)) {
        Paint(image, layer);
    }
    if (greyed) {
        for (std::uint32_t& pixel : image.pixels) {
            if ((pixel >> 24) != 0) {
                pixel = Greyed(pixel);
            }
        }
    }
    return image;
}

} // namespace ui
