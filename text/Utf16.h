#pragma once

#include <string>
#include <string_view>

#include "values/Result.h"

namespace tovask {

// UTF-16LE bytes, as the registry and registry-editor files keep text. On
// Windows a wide string already holds UTF-16 units; elsewhere it holds code
// points, which are split into surrogate pairs here. Unpaired surrogates pass
// through unchanged both ways, so any name the registry holds survives.
std::string toUtf16LeBytes(std::wstring_view text);
// Fails with std::errc::illegal_byte_sequence on an odd number of bytes.
Result<std::wstring> fromUtf16LeBytes(std::string_view bytes);

}  // namespace tovask
