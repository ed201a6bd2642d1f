#pragma once
// The screen's font size: small fonts or large.
#include <windows.h>

namespace shared {

// The screen's logical pixels per inch across; 0 when the screen cannot be
// asked.
int ScreenPixelsPerInch();

// The one small-fonts threshold: true for fewer than 100 pixels per inch.
// 0 (a screen that could not be asked) is not small: it is not offered the
// switch to large fonts.
bool IsSmallFontsAt(int pixelsPerInch);

// True when the screen has fewer than 100 logical pixels per inch. Part of
// the shared procedures' interface; the install run asks through its
// system-actions seam (ScreenHasSmallFonts), which applies the same test.
bool IsSmallFonts();

} // namespace shared
