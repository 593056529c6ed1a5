#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tovask {

// Policy files and the JSON inside policy values are UTF-8; the program's text
// is wide. Unpaired surrogates and broken sequences become U+FFFD.
std::string utf8FromWide(std::wstring_view text);
std::wstring wideFromUtf8(std::string_view bytes);
// None for any broken, overlong or out-of-range sequence: for text where a
// wrong character would change its meaning (an overlong "/" in a path).
std::optional<std::wstring> wideFromValidUtf8(std::string_view bytes);

}  // namespace tovask
