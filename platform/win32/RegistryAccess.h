#pragma once

#include <string_view>
#include <system_error>

#include "platform/PlatformOps.h"

namespace tovask::win32 {

// Rows under HKLM reach both registry views of a 64-bit Windows, so that the
// 32-bit and the 64-bit browser are repaired alike; the row succeeds only
// when every view took the write.
std::error_code writeRegistryValue(std::wstring_view path, RegistryData data, RegistryType type);
// Gone from every view is success, even when only one view held it; "not
// found" only when no view held it.
std::error_code deleteRegistryEntry(std::wstring_view path);

}  // namespace tovask::win32
