#pragma once

#include <system_error>

namespace tovask::win32 {

// Tells WinINet, and the programs that use it, that the Internet settings
// changed and are to be read again. std::errc::function_not_supported when
// the notice was taken but the system cannot read them again at once (Wine):
// the caller reports it instead of failing.
std::error_code announceInternetSettingsChanged();

}  // namespace tovask::win32
