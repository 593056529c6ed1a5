#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/PlatformOps.h"
#include "repair/report/FailureLog.h"

namespace tovask {

// The folders a standard user can write: every profile's folder that
// ProfileList names, ProgramData, the public profile and the system's Temp,
// expanded, normalised and with short names made long. A ProfileList that
// cannot be read is a failure.
std::vector<std::wstring> userWritableFolders(PlatformOps& platform, FailureLog& failures);

// A short name ("BOB~1") hides which folder a path is in until the file
// system answers; it is asked only of a path on a fixed local disk, and a
// path it cannot resolve is judged as written.
std::wstring longPathOf(PlatformOps& platform, std::wstring_view path);

}  // namespace tovask
