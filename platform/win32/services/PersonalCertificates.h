#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "values/Result.h"

namespace tovask::win32 {

// The SHA-1 thumbprints (40 upper-case hexadecimal digits) of the
// certificates that have a private key with them, in the machine's personal
// store and in the personal store of the user with this SID when one is
// given. The keys themselves are never opened.
Result<std::vector<std::wstring>> keyedCertificates(std::wstring_view userSid);

}  // namespace tovask::win32
