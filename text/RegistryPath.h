#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "values/RegistryValue.h"
#include "values/Result.h"

namespace tovask {

enum class RegistryRoot { CurrentUser, LocalMachine, Users };

// A registry path taken apart: "HKLM\Software\Key\" names the key itself,
// "HKLM\Software\Key\Name " the value "Name " (blanks are part of the name).
struct RegistryPath {
    RegistryRoot root;
    std::wstring_view key;        // key names joined by backslashes, never empty
    std::wstring_view valueName;  // empty when the path names a key
    bool namesKey;
};

// Fails with std::errc::invalid_argument for any root other than HKCU, HKLM
// and HKU, for a path without a key and for an empty key name.
Result<RegistryPath> parseRegistryPath(std::wstring_view text);

// The views a registry row under the root acts on.
std::span<const RegistryView> viewsFor(RegistryRoot root, bool hasTwoViews);

// The 32-bit number that RegWrite stores for "REG_DWORD": an integer as it is,
// a text when it is a decimal number that fits ("00000000" gives 0).
Result<std::uint32_t> toDword(RegistryData value);

}  // namespace tovask
