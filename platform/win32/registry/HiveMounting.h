#pragma once

#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "values/Result.h"

namespace tovask::win32 {

// The names of the keys directly under HKEY_USERS: the SIDs of the users whose
// hives are loaded, their "_Classes" companions, ".DEFAULT" and any mounts.
Result<std::vector<std::wstring>> loadedUserHives();
// Mounts a hive file as HKEY_USERS\<mountName>, and takes it away again.
std::error_code loadUserHive(std::wstring_view mountName, std::wstring_view hiveFile);
std::error_code unloadUserHive(std::wstring_view mountName);

}  // namespace tovask::win32
