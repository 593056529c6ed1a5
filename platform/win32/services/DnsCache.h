#pragma once

#include <system_error>

namespace tovask::win32 {

// Empties the DNS resolver cache through the system's DNS library.
std::error_code flushDnsCache();

}  // namespace tovask::win32
