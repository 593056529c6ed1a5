#pragma once

#include <windows.h>

namespace tovask::app {

// The outer rectangle of a top-level window whose client area has the given
// size in pixels, centred on the screen's work area.
RECT centredFrame(SIZE client, DWORD style, DWORD extendedStyle);

}  // namespace tovask::app
