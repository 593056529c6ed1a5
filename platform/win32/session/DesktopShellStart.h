#pragma once

#include <string_view>
#include <system_error>

namespace tovask::win32 {

// Has the shell that draws the desktop start the program with these
// arguments, in its own process: the program runs as the person at the
// desktop, unelevated, whoever this program runs as. Returns once the shell
// has taken the request; an error when no shell runs on this desktop.
std::error_code startThroughDesktopShell(std::wstring_view program, std::wstring_view arguments);

}  // namespace tovask::win32
