#include "app/window/Twips.h"

#include "app/window/GdiHandles.h"

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

}  // namespace tovask::app
