#pragma once

#include <span>
#include <string>
#include <vector>

#include "platform/PlatformOps.h"
#include "repair/run/FailureLog.h"

namespace tovask {

struct ShortcutFolder {
    std::wstring path;
    int depth = 0;  // how many levels of subfolders are listed too
    // Every user's (the public Desktop, the common Start menu), where an
    // organisation may place shortcuts of its own.
    bool shared = false;
    // Not on a disk of this machine (a share, say): listed as a finding,
    // never opened.
    bool refused = false;

    bool operator==(const ShortcutFolder&) const = default;
};

// Where the shortcuts people click are, once each: for every user whose hive
// is given ("HKCU", "HKU\<SID>" or a hive the run loaded), the Desktop, the
// Start menu's programs with their subfolders, and Quick Launch with the
// taskbar's and the Start menu's pinned shortcuts; then the public Desktop
// and the common Start menu's programs. A user's folders come from the shell
// folders in that user's own hive, expanded against the user's profile folder
// from ProfileList, never against the running user's environment. A user
// whose folders cannot be told is a failure; the others go on. A folder is
// refused unless it lies on a disk fixed in this machine.
std::vector<ShortcutFolder> shortcutFolders(PlatformOps& platform,
                                            std::span<const std::wstring> userHives,
                                            FailureLog& failures);

}  // namespace tovask
