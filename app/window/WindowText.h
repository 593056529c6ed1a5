#pragma once

#include <windows.h>

#include <string>

namespace tovask::app {

// The whole text of a window or control.
std::wstring windowText(HWND window);

}  // namespace tovask::app
