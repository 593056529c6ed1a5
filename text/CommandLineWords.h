#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tovask {

// The arguments of a command line after the program's name, split as the C
// runtime splits them: blanks separate arguments outside quotes, quotes
// group, a quote preceded by an odd number of backslashes is literal, 2n
// backslashes before a quote give n, other backslashes stay, and "" within
// quotes gives one literal quote. The program's name ends at the first blank,
// or, when it starts with a quote, at the next quote.
std::vector<std::wstring> argumentsAfterProgram(std::wstring_view commandLine);

}  // namespace tovask
