#pragma once

#include <string>
#include <string_view>

#include "values/RegistryValue.h"

// Finding things in a key's content the way the registry does: by name,
// without regard to case.
namespace tovask {

const RegistryKeyContent* findSubkey(const RegistryKeyContent& key, std::wstring_view name);
RegistryKeyContent* findSubkey(RegistryKeyContent& key, std::wstring_view name);
// `path` is a subkey path below the key, names joined by backslashes; "" is the key itself.
RegistryKeyContent* findKeyBelow(RegistryKeyContent& key, std::wstring_view path);
const NamedRegistryValue* findValue(const RegistryKeyContent& key, std::wstring_view name);
std::wstring joinPath(std::wstring_view path, std::wstring_view name);

}  // namespace tovask
