#pragma once

#include <string>

namespace tovask::testsupport {

// The built program's path as CMake gives it in TOVASK_PROGRAM, as Windows
// names it: under Wine a Unix path lies on Z:.
std::wstring programPath();

}  // namespace tovask::testsupport
