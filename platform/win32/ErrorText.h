#pragma once

#include <string>
#include <system_error>

namespace tovask::win32 {

// The system's own short text for an error, in the user's language where the
// system has one, without the line break it ends with.
std::wstring describeError(std::error_code error);

}  // namespace tovask::win32
