#pragma once

#include <windows.h>

#include "app/window/design/DesignTable.h"

namespace tovask::app {

// Creates one control of the design in its container, placed and sized for
// the dpi, below the controls created before it. Returns nullptr on failure,
// with the system's reason in GetLastError.
HWND createControl(const ControlDesign& design, HWND container, int dpi, HINSTANCE instance);

}  // namespace tovask::app
