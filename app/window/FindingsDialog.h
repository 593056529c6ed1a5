#pragma once

#include <windows.h>

#include <vector>

#include "repair/findings/FindingsChoice.h"

namespace tovask::app {

// Shows the findings dialog, modal to `owner`, and gives each repairable
// line's box as the user left it. Every box is unchecked when the user
// declines, or when the dialog could not be shown: nothing is repaired
// without a yes.
std::vector<bool> showFindingsDialog(HINSTANCE instance, HWND owner, const FindingsChoice& choice);

}  // namespace tovask::app
