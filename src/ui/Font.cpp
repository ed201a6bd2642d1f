#include "ui/Font.h"

#include <cwchar>

#include "base/AppError.h"

using base::AppError;
using base::WindowDc;

namespace ui {

TFont::TFont(const TFontSpec& style) : style_(style) {
    LOGFONTW font{};
    font.lfHeight = -style.Height;
    font.lfWeight = style.Bold ? FW_BOLD : FW_NORMAL;
    font.lfCharSet = style.Charset;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    wcsncpy(font.lfFaceName, style.Name.c_str(), LF_FACESIZE - 1);
    font_.reset(CreateFontIndirectW(&font));
    if (!font_) {
        throw AppError(L"Cannot create the font \"" + style.Name + L"\".");
    }
}

TFontRef MakeFont(const TFontSpec& style) {
    return std::make_shared<const TFont>(style);
}

int PointsToPixels(int points) {
    WindowDc screen(nullptr);
    const int pixelsPerInch =
        screen.get() != nullptr ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
    return MulDiv(points, pixelsPerInch, 72);
}

TFontSpec MessageFontSpec() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    TFontSpec style;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        style.Name = metrics.lfMessageFont.lfFaceName;
        const LONG height = metrics.lfMessageFont.lfHeight;
        style.Height = height < 0 ? -height : (height > 0 ? height : style.Height);
        style.Charset = metrics.lfMessageFont.lfCharSet;
    }
    return style;
}

} // namespace ui
