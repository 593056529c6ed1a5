#pragma once

#include <system_error>

namespace tovask::win32 {

// Tells WinINet, and the programs that use it, that the Internet settings
// changed and are to be read again.
std::error_code announceInternetSettingsChanged();

}  // namespace tovask::win32
