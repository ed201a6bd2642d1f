#include "shared/ScreenFonts.h"

#include "base/Handles.h"

using base::WindowDc;

namespace shared {

namespace {

constexpr int kLargeFontsPixelsPerInch = 100;

} // namespace

int ScreenPixelsPerInch() {
    const WindowDc screen(nullptr);
    return screen.get() != nullptr ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 0;
}

bool IsSmallFontsAt(int pixelsPerInch) {
    return pixelsPerInch > 0 && pixelsPerInch < kLargeFontsPixelsPerInch;
}

bool IsSmallFonts() {
    return IsSmallFontsAt(ScreenPixelsPerInch());
}

} // namespace shared
