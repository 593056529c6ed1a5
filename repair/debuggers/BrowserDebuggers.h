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
// time the browser starts. With UseFilter on the program's key, so is the
// `Debugger` of each subkey whose FilterFullPath names the program, since the
// loader takes that subkey's in place of the key's for a browser started from
// there. A key that cannot be read is a failure, a missing one holds none.
// None is repairable on a managed machine.
std::vector<RemovableValue> findBrowserDebuggers(PlatformOps& platform, bool managedMachine,
                                                 FailureLog& failures);

// Whether a backup section puts back only the debugger of a browser program
// or of one filter subkey of it.
bool withinDebuggerReach(const RegistryFileSection& section, bool hasTwoViews);

}  // namespace tovask
