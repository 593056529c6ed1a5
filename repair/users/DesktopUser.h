#pragma once

#include <string>

#include "platform/PlatformOps.h"

namespace tovask {

// Where the rows for the current user go. A standard user who types an
// administrator's name at the elevation prompt runs the program as that
// administrator, whose HKCU is not the one the browser on this desktop uses:
// then the desktop user's own hive, "HKU\<SID>". "HKCU" when the desktop is
// the program's own user, and when either user cannot be told.
std::wstring desktopUserHive(PlatformOps& platform);

}  // namespace tovask
