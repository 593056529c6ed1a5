#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "values/Result.h"

namespace tovask::win32 {

// The names directly under an open key, in the order the registry gives them.
Result<std::vector<std::wstring>> valueNamesOf(HKEY key);
Result<std::vector<std::wstring>> subkeyNamesOf(HKEY key);

}  // namespace tovask::win32
