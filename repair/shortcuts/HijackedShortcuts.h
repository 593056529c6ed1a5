#pragma once

#include <span>
#include <string>
#include <vector>

#include "platform/PlatformOps.h"
#include "repair/backup/files/FileBackup.h"
#include "repair/paths/ShortcutFolders.h"
#include "repair/report/FailureLog.h"
#include "repair/report/Finding.h"
#include "repair/shortcuts/ShortcutFinding.h"

namespace tovask {

struct HijackedShortcut {
    std::wstring path;
    ShortcutFinding finding;
    std::string bytes;            // the file as it was found
    bool inSharedFolder = false;  // see ShortcutFolder::shared
    // A folder of shortcuts that is not on a disk of this machine: `path`
    // names the folder, which was never opened. Report only.
    bool refusedFolder = false;
    ShortcutPlace place = ShortcutPlace::Desktop;  // its folder's
    std::wstring_view browser = {};                // the browser it starts, if any

    bool operator==(const HijackedShortcut&) const = default;
};

// Every shortcut in the users' shortcut folders (see shortcutFolders) that
// examineShortcut finds hijacked. A folder that is missing is skipped; one
// that cannot be read or is listed only in part, and a shortcut that cannot
// be read, are failures, and the others go on.
std::vector<HijackedShortcut> findHijackedShortcuts(PlatformOps& platform,
                                                    std::span<const std::wstring> userHives,
                                                    UserFoldersOfThisRun& userFolders,
                                                    FailureLog& failures);

// As the report lists them. On a managed machine only the shortcuts in a
// user's own folders are repairable: an organisation places its own in the
// shared ones.
std::vector<Finding> findingsOf(std::span<const HijackedShortcut> shortcuts, bool managedMachine);

// Writes the repaired arguments, keeping everything else the shortcut holds,
// once its bytes are in the file backups; unless the file no longer holds the
// bytes that were examined. True when repaired; failures are logged.
bool repairShortcut(PlatformOps& platform, const HijackedShortcut& shortcut, FileBackup& backups,
                    FailureLog& failures);

}  // namespace tovask
