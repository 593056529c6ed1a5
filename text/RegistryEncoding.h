#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "values/RegistryValue.h"
#include "values/Result.h"

namespace tovask {

// REG_SZ: the UTF-16 text with its terminating null, as the system stores it.
RegistryValue stringValue(std::wstring_view text);
RegistryValue dwordValue(std::uint32_t number);
// The text of a REG_SZ or REG_EXPAND_SZ value without its terminating nulls;
// none for any other type.
std::optional<std::wstring> textOf(const RegistryValue& value);
// The number of a REG_DWORD value of four bytes; none for anything else.
std::optional<std::uint32_t> dwordOf(const RegistryValue& value);
// What RegWrite stores for the data and type; fails as toDword does.
Result<RegistryValue> encodeRegistryData(RegistryData data, RegistryType type);

}  // namespace tovask
