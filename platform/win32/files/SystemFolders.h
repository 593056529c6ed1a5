#pragma once

#include <string>

#include "values/Result.h"

namespace tovask::win32 {

// Folder paths as the system names them, without a trailing backslash. The
// system folder is the real System32 name even in a 32-bit process on 64-bit
// Windows: it is only used as text, to build the HOSTS paths.
Result<std::wstring> windowsFolder();
Result<std::wstring> systemFolder();

}  // namespace tovask::win32
