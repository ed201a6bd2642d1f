#include "ui/Font.h"

#include <cwchar>

#include "shared/AppError.h"

TFont::TFont(const TFontSpec& spec) : spec_(spec) {
    LOGFONTW font{};
    font.lfHeight = -spec.Height;
    font.lfWeight = spec.Bold ? FW_BOLD : FW_NORMAL;
    font.lfCharSet = spec.Charset;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    wcsncpy(font.lfFaceName, spec.Name.c_str(), LF_FACESIZE - 1);
    font_.reset(CreateFontIndirectW(&font));
    if (!font_) {
        throw AppError(L"Cannot create the font \"" + spec.Name + L"\".");
    }
}

TFontRef MakeFont(const TFontSpec& spec) {
    return std::make_shared<const TFont>(spec);
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
    TFontSpec spec;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        spec.Name = metrics.lfMessageFont.lfFaceName;
        const LONG height = metrics.lfMessageFont.lfHeight;
        spec.Height = height < 0 ? -height : (height > 0 ? height : spec.Height);
        spec.Charset = metrics.lfMessageFont.lfCharSet;
    }
    return spec;
}
