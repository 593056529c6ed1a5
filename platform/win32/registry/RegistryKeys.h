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
// The key itself, never the one a registry link leads to: a link is refused
// with std::errc::too_many_symbolic_link_levels. For what changes the
// registry, since whoever may write a key's parent may swap the key for a link.
std::error_code openKeyNotLink(HKEY parent, const std::wstring& name, REGSAM access,
                               RegistryKey& key);
std::error_code openKeyNotLink(const RegistryPath& path, REGSAM access, RegistryView view,
                               RegistryKey& key);
// The same, creating the key and the keys on the way when they are missing.
std::error_code createKey(const RegistryPath& path, REGSAM access, RegistryView view,
                          RegistryKey& key);
// The key as openKeyNotLink opens it, or, when it is missing, created with the
// keys on the way: a key that is not there is no link.
std::error_code createKeyNotLink(const RegistryPath& path, REGSAM access, RegistryView view,
                                 RegistryKey& key);

}  // namespace tovask::win32
