#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "platform/RegistryOps.h"
#include "values/Result.h"

namespace tovask::win32 {

// The names of the keys directly under an open key, in the order the
// registry gives them; read with room for the longest name when its length is known.
Result<std::vector<std::wstring>> subkeyNamesOf(HKEY key);
Result<std::vector<std::wstring>> subkeyNamesOf(HKEY key, DWORD longestName);
// The first `mostNames` of them, and whether the key holds more.
Result<SubkeyListing> subkeyNamesOf(HKEY key, std::size_t mostNames);

}  // namespace tovask::win32
