#pragma once

#include <cstdint>
#include <string_view>

#include "platform/PlatformOps.h"
#include "platform/RegistryValue.h"
#include "platform/Result.h"

namespace tovask {

// REG_SZ: the UTF-16 text with its terminating null, as the system stores it.
RegistryValue stringValue(std::wstring_view text);
RegistryValue dwordValue(std::uint32_t number);
// What RegWrite stores for the data and type; fails as toDword does.
Result<RegistryValue> encodeRegistryData(RegistryData data, RegistryType type);

}  // namespace tovask
