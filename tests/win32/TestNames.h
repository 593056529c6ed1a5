#pragma once

#include <string>

namespace tovask::testsupport {

// A name no other test and no other run uses: the process id and the running
// test's own name, with anything that is not a letter or digit made "_".
std::wstring uniqueTestName();

}  // namespace tovask::testsupport
