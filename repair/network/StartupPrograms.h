#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/PlatformOps.h"
#include "repair/paths/ShortcutFolders.h"
#include "repair/report/FailureLog.h"
#include "repair/report/FindingKindRow.h"

namespace tovask {

// What starts when a user logs on: the programs of the commands in the Run
// and RunOnce keys of the user's hive ("HKU\<name>"), and the files of the
// user's Startup folder, a shortcut standing for its target. Judged by their
// text alone: no program is opened, and a Startup folder on a network share
// is not listed. A key or folder that cannot be read is a failure; the rest
// goes on.
std::vector<std::wstring> startupPrograms(PlatformOps& platform, std::wstring_view hive,
                                          UserFoldersOfThisRun& userFolders, FailureLog& failures);

// The programs of the commands in the user's Run and RunOnce keys that the
// start-up programs' rule finds a hijack in themselves, as the commands name
// them: a bare name is found by the search path.
std::vector<std::wstring> hijackingRunPrograms(PlatformOps& platform, std::wstring_view hive,
                                               UserFoldersOfThisRun& userFolders,
                                               StartupHijackRule isStartupHijack,
                                               FailureLog& failures);

}  // namespace tovask
