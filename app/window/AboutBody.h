#pragma once

#include <string>

namespace tovask::app {

// The About panel's terms of use as one caption: its lines joined by CR LF
// pairs, none after the last.
std::wstring aboutBodyText();

}  // namespace tovask::app
