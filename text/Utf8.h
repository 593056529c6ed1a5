#pragma once

#include <string>
#include <string_view>

namespace tovask {

// Policy files and the JSON inside policy values are UTF-8; the program's text
// is wide. Unpaired surrogates and broken sequences become U+FFFD.
std::string utf8FromWide(std::wstring_view text);
std::wstring wideFromUtf8(std::string_view bytes);

}  // namespace tovask
