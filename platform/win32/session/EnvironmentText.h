#pragma once

#include <string>
#include <string_view>

#include "values/Result.h"

namespace tovask::win32 {

// The text with every %NAME% of a set variable replaced by its value; the
// others stay as they are.
Result<std::wstring> expandEnvironment(std::wstring_view text);

}  // namespace tovask::win32
