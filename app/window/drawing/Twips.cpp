#include "app/window/drawing/Twips.h"

#include "app/window/drawing/GdiHandles.h"

namespace tovask::app {

int twipsToPixels(int twips, int dpi) {
    return MulDiv(twips, dpi, kTwipsPerInch);
}

RECT toPixels(const TwipsRect& rect, int dpi) {
    const int left = twipsToPixels(rect.left, dpi);
    const int top = twipsToPixels(rect.top, dpi);
    return {left, top, left + twipsToPixels(rect.width, dpi),
            top + twipsToPixels(rect.height, dpi)};
}

int screenDpi() {
    const WindowDC screen(nullptr);
    return GetDeviceCaps(screen.get(), LOGPIXELSY);
}

RECT centredFrame(SIZE client, DWORD style, DWORD extendedStyle) {
    RECT frame{0, 0, client.cx, client.cy};
    AdjustWindowRectEx(&frame, style, FALSE, extendedStyle);
    RECT workArea{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    const LONG width = frame.right - frame.left;
    const LONG height = frame.bottom - frame.top;
    const LONG left = workArea.left + (workArea.right - workArea.left - width) / 2;
    const LONG top = workArea.top + (workArea.bottom - workArea.top - height) / 2;
    return {left, top, left + width, top + height};
}

}  // namespace tovask::app
