#pragma once

#include <string_view>

namespace tovask {

// Whether a HOSTS file sends a name elsewhere: an active line (text after a
// '#' is a comment) that maps a name to an address, other than a loopback
// name ("localhost", or a name under ".localhost") on a loopback address
// (127.0.0.0/8 or ::1). Comments alone, or only loopback names, as every
// Windows ships it, send nothing elsewhere.
bool redirectsNames(std::string_view content);

}  // namespace tovask
