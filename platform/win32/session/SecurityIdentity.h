#pragma once

#include <string>

#include "values/Result.h"

namespace tovask::win32 {

// Security identifiers as text ("S-1-5-21-...").
Result<std::wstring> programUserSid();
// The owner of the shell window's process; "not found" without a shell window.
Result<std::wstring> desktopUserSid();

}  // namespace tovask::win32
