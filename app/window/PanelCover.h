#pragma once

#include <windows.h>

namespace tovask::app {

// Whether the shown panel lies over the whole of a control of the window, so
// that the control can be reached neither with the mouse nor with the Tab
// key. The panel's own controls lie on it, not under it.
bool liesUnderPanel(HWND control, HWND panel);

}  // namespace tovask::app
