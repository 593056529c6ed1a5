#pragma once

#include <windows.h>

#include <string_view>

#include "app/window/controls/Controls.h"

namespace tovask::app {

// Sets the colours a label paints with and returns the brush for its
// background: the dialog face, or nothing at all for a transparent label.
HBRUSH prepareLabelColours(HDC dc, const Control& label);

// Sets a control's caption. An auto-size label then takes the size of its
// text; a transparent label has what lies behind its old and new text
// painted again, since it paints only its letters.
void setCaption(const Control& control, std::wstring_view text);

// Paints the label again, with what lies behind it when it is transparent.
void repaintLabel(const Control& label);

}  // namespace tovask::app
