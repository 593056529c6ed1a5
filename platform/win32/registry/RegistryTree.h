#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

#include "platform/win32/Handles.h"

#include "values/RegistryValue.h"
#include "values/Result.h"

namespace tovask::win32 {

// The key with its values and subkeys to any depth, each in the order the
// registry enumerates them; the key's own name is the last name of the path.
Result<RegistryKeyContent> readRegistryTree(std::wstring_view keyPath, RegistryView view);
// The same below an open key (named by its key names), every key below it
// opened as openKeyNotLink opens it, a link anywhere refused; the handles of
// the keys below stay open in `keptBelow`, deepest first, so that they can be
// removed by those very handles.
Result<RegistryKeyContent> readTreeToRemove(HKEY key, std::wstring_view keyNames, REGSAM access,
                                            std::vector<RegistryKey>& keptBelow);

}  // namespace tovask::win32
