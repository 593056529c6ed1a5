#pragma once

#include <windows.h>

#include <string_view>
#include <system_error>

#include "platform/win32/Handles.h"
#include "text/RegistryPath.h"
#include "values/RegistryValue.h"
#include "values/Result.h"

namespace tovask::win32 {

// True on a 64-bit Windows, whose machine-wide software keys have a 32-bit
// and a 64-bit copy.
bool hasTwoRegistryViews();
// The access flag that opens a key in the view; none for the default view.
REGSAM viewAccess(RegistryView view);
HKEY rootKey(RegistryRoot root);

// A path that must name a key, that is end in a backslash; a value path is
// refused with std::errc::invalid_argument.
Result<RegistryPath> parseKeyPath(std::wstring_view text);

// The key of the path, in the view, with the access asked for.
std::error_code openKey(const RegistryPath& path, REGSAM access, RegistryView view,
                        RegistryKey& key);
// The same, creating the key and the keys on the way when they are missing.
std::error_code createKey(const RegistryPath& path, REGSAM access, RegistryView view,
                          RegistryKey& key);

}  // namespace tovask::win32
