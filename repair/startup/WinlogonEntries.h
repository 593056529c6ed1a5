#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PlatformOps.h"
#include "repair/backup/RegistryFile.h"
#include "repair/backup/RemovableValues.h"
#include "repair/report/FailureLog.h"
#include "text/RegistryPath.h"

namespace tovask {

// The programs Winlogon starts as a user logs on beside Windows's own: the
// machine's Userinit (each view) and the Shell of each of the users' hives
// ("HKCU" or "HKU\<name>"), which Windows keeps none of. A value is a finding
// when an item of its comma-separated list is no program of Windows's:
// Userinit's is userinit.exe in the system folder, Shell's explorer.exe,
// alone or in the Windows folder. The repair writes Windows's value back into
// the machine's Userinit and deletes a user's Shell. None is repairable on a
// managed machine; a value that cannot be read is a failure.
std::vector<RemovableValue> findWinlogonEntries(PlatformOps& platform,
                                                std::span<const std::wstring> userHives,
                                                bool managedMachine, FailureLog& failures);

// Whether the key below its hive (without the user's name under HKU) is
// Winlogon's and the entries name only the values its repair changes there.
bool restoresWinlogonValues(RegistryRoot root, std::wstring_view key,
                            std::span<const RegistryFileEntry> entries);

}  // namespace tovask
