#pragma once

#include <windows.h>

#include "app/window/controls/Controls.h"

namespace tovask::app {

// The control that the Tab key moves the focus to from `from` (Shift+Tab:
// backwards), in the design's tab positions, round and round. Controls that
// are hidden, disabled or never take the focus are passed over; from a window
// that is not a tab stop the cycle starts at its first or last stop.
HWND nextTabStop(const ControlSet& controls, HWND from, bool backwards);

}  // namespace tovask::app
