#pragma once

#include <windows.h>
#include <windowsx.h>

namespace tovask::app {

// Where the pointer is, from a mouse message, in the receiving window's
// client area. Signed: with the mouse captured it can lie left of or above it.
inline POINT pointOf(LPARAM lParam) {
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

}  // namespace tovask::app
