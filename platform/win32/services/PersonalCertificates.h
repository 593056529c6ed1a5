#pragma once

#include <string_view>

#include "values/Result.h"

namespace tovask::win32 {

// Looks in the machine's personal store, then in the personal store of the
// user with this SID when one is given, for the certificate with this SHA-1
// thumbprint (40 hexadecimal digits), and tells whether a private key goes
// with it. The key itself is never opened.
Result<bool> hasCertificateWithKey(std::wstring_view thumbprint, std::wstring_view userSid);

}  // namespace tovask::win32
