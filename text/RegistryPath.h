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

// Whether one copy of the machine-wide key serves both views of a 64-bit
// Windows: the keys below HKLM\Software that Windows documents as shared
// between the 32-bit and 64-bit views (Wine shares the same ones). The key is
// given without its root; names compare without regard to case.
bool isSharedBetweenViews(RegistryRoot root, std::wstring_view key);

// The views a registry row on the key acts on: both views of the machine-wide
// software keys on a 64-bit Windows, but a shared key once, in the 64-bit
// view, so that it is read, backed up and written once.
std::span<const RegistryView> viewsFor(RegistryRoot root, std::wstring_view key, bool hasTwoViews);

// The 32-bit number that RegWrite stores for "REG_DWORD": an integer as it is,
// a text when it is a decimal number that fits ("00000000" gives 0).
Result<std::uint32_t> toDword(RegistryData value);

}  // namespace tovask
