#pragma once

#include <string_view>

#include "values/RegistryValue.h"
#include "values/Result.h"

namespace tovask::win32 {

// The key with its values and subkeys to any depth, each in the order the
// registry enumerates them; the key's own name is the last name of the path.
Result<RegistryKeyContent> readRegistryTree(std::wstring_view keyPath, RegistryView view);

}  // namespace tovask::win32
