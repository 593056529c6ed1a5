#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "values/Result.h"

namespace tovask::win32 {

// The owner ("DOMAIN\user") of every running process of this file name, the
// case ignored, in the order the system lists them. A process whose owner
// cannot be read is listed all the same, by its owner's SID where that much
// is readable, else as "<desconocido>": it is running, and that is what
// matters to the caller.
Result<std::vector<std::wstring>> processOwners(std::wstring_view executableName);

}  // namespace tovask::win32
