#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/PlatformOps.h"
#include "repair/report/FailureLog.h"
#include "repair/shortcuts/ShortcutFolders.h"

namespace tovask {

// The program a start-up command runs: the quoted first part; unquoted, the
// text up to the first ".exe" that a blank or the end follows, since the
// system tries the command's beginnings up to each blank until one names a
// program; else the first word.
std::wstring programOfCommand(std::wstring_view command);

// What starts when a user logs on: the programs of the commands in the Run
// and RunOnce keys of the user's hive ("HKU\<name>"), and the files of the
// user's Startup folder, a shortcut standing for its target. Judged by their
// text alone: no program is opened, and a Startup folder on a network share
// is not listed. A key or folder that cannot be read is a failure; the rest
// goes on.
std::vector<std::wstring> startupPrograms(PlatformOps& platform, std::wstring_view hive,
                                          UserFoldersOfThisRun& userFolders, FailureLog& failures);

}  // namespace tovask
