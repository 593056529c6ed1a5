#pragma once

#include <string>
#include <string_view>

namespace tovask::app {

// The text as Windows lines: each "\n" inside it and one more at its end
// become CR LF, so that texts joined with "\n" alone keep their lines.
std::wstring asCrLfLines(std::wstring_view text);

}  // namespace tovask::app
