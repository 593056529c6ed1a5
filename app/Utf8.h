#pragma once

#include <string>
#include <string_view>

namespace tovask::app {

// Wide text as UTF-8 bytes, the encoding of the log and of redirected output.
// An unpaired surrogate becomes U+FFFD instead of failing the whole text.
std::string toUtf8(std::wstring_view text);

}  // namespace tovask::app
