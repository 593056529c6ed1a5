#pragma once

#include <windows.h>

#include <system_error>

namespace tovask::app {

inline constexpr wchar_t kMainWindowClassName[] = L"TovaskMainWindow";
// The panel that holds the About page's controls.
inline constexpr wchar_t kPanelClassName[] = L"TovaskPanel";

// Registers one of the program's window classes: dialog-face background and
// the usual arrow. A class that the process registered before (a second
// window, as in the tests) is no error.
std::error_code registerWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure);
std::error_code registerPanelClass(HINSTANCE instance);

}  // namespace tovask::app
