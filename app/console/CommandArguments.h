#pragma once

#include <string>
#include <vector>

namespace tovask::app {

// The program's arguments split as the system splits them (quotes, blanks,
// backslashes), without the program's own name.
std::vector<std::wstring> commandArguments();

}  // namespace tovask::app
