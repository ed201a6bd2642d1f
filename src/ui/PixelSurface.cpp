#include "ui/PixelSurface.h"

#include <algorithm>

namespace ui {

namespace {
const wchar_t kSurfaceClass[] = L"VestarPixelSurface";
}

TPixelSurface::TPixelSurface(TWindow& parent) : TControl(parent) {
    RegisterClassOnce(kSurfaceClass);
    CreateControl(kSurfaceClass, 0);
}

void TPixelSurface::Present() {
    InvalidateRect(Handle(), nullptr, FALSE);
    UpdateWindow(Handle());
}

LRESULT TPixelSurface::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(Handle(), &paint);
        Paint(dc, paint.rcPaint);
        EndPaint(Handle(), &paint);
        return 0;
    }
    return TControl::WndProc(message, wParam, lParam);
}

void TPixelSurface::Paint(HDC dc, const RECT& area) const {
    const int width = buffer_.width;
    const int height = buffer_.height;
    if (width > 0 && height > 0 &&
        buffer_.pixels.size() ==
            static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                          static_cast<UINT>(height), buffer_.pixels.data(), &info, DIB_RGB_COLORS);
    }
    // Outside the buffer: the surface's colour.
    const HBRUSH brush = BackgroundBrush();
    RECT right{std::max<LONG>(area.left, width), area.top, area.right, area.bottom};
    if (right.left < right.right) {
        FillRect(dc, &right, brush);
    }
    RECT below{area.left, std::max<LONG>(area.top, height), std::min<LONG>(area.right, width),
               area.bottom};
    if (below.left < below.right && below.top < below.bottom) {
        FillRect(dc, &below, brush);
    }
}

} // namespace ui
