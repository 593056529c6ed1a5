#pragma once

#include <vector>

#include "platform/PlatformOps.h"
#include "repair/commands/SystemProgramNames.h"
#include "repair/report/FailureLog.h"
#include "repair/report/Finding.h"

namespace tovask {

// The services whose program, as their ImagePath names it
// (HKLM\SYSTEM\CurrentControlSet\Services\<name>\ImagePath: "\SystemRoot\...",
// "System32\..." below the Windows folder, "\??\C:\...", quoted or not,
// expanded or not), takes the name of one of Windows' own outside the folder
// that keeps it (systemNameImpostor). Only reported: a service is the
// system's to change. The listing is bounded, and a cut one is a failure; a
// value that cannot be read is a failure and the rest goes on.
std::vector<Finding> findImpostorServices(PlatformOps& platform,
                                          const WindowsProgramFolders& folders,
                                          FailureLog& failures);

}  // namespace tovask
