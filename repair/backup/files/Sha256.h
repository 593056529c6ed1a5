#pragma once

#include <string>
#include <string_view>

namespace tovask {

// The SHA-256 digest of the bytes, as 64 lowercase hexadecimal digits: the
// file backups' manifest records what the repair left with it.
std::string sha256Hex(std::string_view bytes);
// True for text sha256Hex could have given: 64 lowercase hexadecimal digits.
bool isSha256Hex(std::string_view text);

}  // namespace tovask
