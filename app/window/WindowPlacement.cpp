#include "app/window/WindowPlacement.h"

namespace tovask::app {

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
