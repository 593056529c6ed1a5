#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "values/Result.h"

namespace tovask::win32 {

// The names of the keys directly under an open key, in the order the
// registry gives them; read with room for the longest name when its length is known.
Result<std::vector<std::wstring>> subkeyNamesOf(HKEY key);
Result<std::vector<std::wstring>> subkeyNamesOf(HKEY key, DWORD longestName);

}  // namespace tovask::win32
