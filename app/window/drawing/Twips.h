#pragma once

#include <windows.h>

namespace tovask::app {

// Positions and sizes of the design, in twips: 1440 to the inch, so 15 to a
// pixel at 96 dpi.
struct TwipsRect {
    int left;
    int top;
    int width;
    int height;
};

inline constexpr int kTwipsPerInch = 1440;

// The one place where twips become pixels. Each value is converted on its own,
// rounded to the nearest pixel, so a control's width does not depend on where
// it stands.
int twipsToPixels(int twips, int dpi);
// Left, top, right and bottom in pixels of the container's client area.
RECT toPixels(const TwipsRect& rect, int dpi);

// The dots per inch of the screen the window opens on.
int screenDpi();

// The outer rectangle of a top-level window whose client area has the given
// size in pixels, centred on the screen's work area.
RECT centredFrame(SIZE client, DWORD style, DWORD extendedStyle);

}  // namespace tovask::app
