#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/PlatformOps.h"
#include "repair/backup/RegistryFile.h"
#include "repair/backup/RemovableValues.h"
#include "repair/report/FailureLog.h"

namespace tovask {

// Each browser program's `Debugger` value under Image File Execution Options:
// Windows starts the program it names, with the browser's command line, every
// time the browser starts. A key that cannot be read is a failure, a missing
// one holds none. None is repairable on a managed machine.
std::vector<RemovableValue> findBrowserDebuggers(PlatformOps& platform, bool managedMachine,
                                                 FailureLog& failures);

// Whether a backup section puts back only the debugger of a browser program.
bool withinDebuggerReach(const RegistryFileSection& section, bool hasTwoViews);

}  // namespace tovask
