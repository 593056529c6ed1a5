#pragma once

#include <windows.h>

#include "app/window/drawing/GdiHandles.h"

namespace tovask::app {

// A picture ready to be drawn at its natural size. A translucent one holds
// premultiplied alpha; an opaque one is copied as it is.
struct Picture {
    ScopedBitmap bitmap;
    SIZE size{};
    bool translucent = false;
};

// A bitmap resource of the program.
Picture loadBitmapPicture(HINSTANCE instance, int resourceId);
// The first frame of a GIF kept as raw data in the program's resources,
// decoded by the system's imaging component. Its transparent colour becomes
// fully transparent.
Picture loadGifPicture(HINSTANCE instance, int resourceId);

// Draws the picture with its top-left corner at the origin of the device
// context, over what the context already shows.
void drawPicture(HDC dc, const Picture& picture);

}  // namespace tovask::app
