#pragma once
// The main window's painted background: the paper tile repeated over the whole
// surface, the title band stretched over the full width with its rounded ends,
// the logo, the centred title lettering and the two-panel frame; and the fixed
// places of the information panel and of the page control on top of it.
#include "ui/portable/Image32.h"

#include <cstdint>
#include <vector>

namespace app {

// The seven bitmaps of the main window, in the roles they play here.
struct BackgroundImages {
    const ui::Image32& background; // BG_bmp: the tile
    const ui::Image32& panels;     // Panels_bmp
    const ui::Image32& logo;       // Logo_bmp
    const ui::Image32& titlePnlL;  // Title_pnl_l_bmp
    const ui::Image32& titlePnlR;  // Title_pnl_r_bmp
    const ui::Image32& titlePnlM;  // Title_pnl_m_bmp: the one-pixel middle slice
    const ui::Image32& title;      // Title_bmp
};

enum class BackgroundPart { Background, TitlePnlL, TitlePnlR, TitlePnlM, Logo, Title, Panels };

const ui::Image32& ImageOf(const BackgroundImages& images, BackgroundPart part);

// One opaque copy of a bitmap with its top-left corner at (x, y).
struct BackgroundDraw {
    BackgroundPart part;
    int x;
    int y;
    bool operator==(const BackgroundDraw&) const = default;
};

// The copies that compose a surface of `width` x `height`, in drawing order:
// later ones cover earlier ones.
std::vector<BackgroundDraw> PlanBackground(int width, int height, const BackgroundImages& images);

// Composes the background into `surface` (sized by the caller to the drawing
// surface): every copy is opaque and clipped to the surface.
void ComposeBackground(ui::Image32& surface, const BackgroundImages& images);

struct ControlRect {
    int left;
    int top;
    int width;
    int height;
    bool operator==(const ControlRect&) const = default;
};

// Where the information panel and the page control sit, whatever the size of
// the surface.
constexpr ControlRect kRichEdit1Rect{16, 110, 282, 441};
constexpr ControlRect kInsatallPagesRect{320, 110, 619, 441};

// The colour of the title's ground, the top-left pixel of the title bitmap,
// as a system colour value 0x00BBGGRR (its alpha dropped). An empty bitmap
// gives white, the ground every loaded bitmap starts from.
uint32_t TitleColor(const ui::Image32& title);

} // namespace app
