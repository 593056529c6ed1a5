#pragma once

#include <string>
#include <string_view>

namespace tovask {

// The SHA-1 digest of the bytes, as 40 lowercase hexadecimal digits: Windows
// names a certificate by the SHA-1 of its encoded bytes, its thumbprint.
std::string sha1Hex(std::string_view bytes);

}  // namespace tovask
