#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/RegistryOps.h"
#include "values/RegistryValue.h"
#include "values/Result.h"

namespace tovask::win32 {

// The value's type and raw bytes; an empty name reads the default value.
Result<RegistryValue> queryValue(HKEY key, const std::wstring& name);

Result<RegistryValue> readRegistryValue(std::wstring_view path, RegistryView view);
// A missing key is false; any other failure to open it is an error.
Result<bool> registryKeyExists(std::wstring_view keyPath, RegistryView view);
Result<SubkeyListing> listRegistrySubkeys(std::wstring_view keyPath, RegistryView view,
                                          std::size_t mostNames);

}  // namespace tovask::win32
