#pragma once

#include "values/Result.h"

namespace tovask::win32 {

// True when the program runs with an administrator's full rights: elevated,
// or as the local system account.
Result<bool> isElevated();

}  // namespace tovask::win32
