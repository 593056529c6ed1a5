#pragma once

#include <span>
#include <string>
#include <vector>

#include "platform/PlatformOps.h"
#include "repair/backup/RegistryFile.h"
#include "repair/backup/RemovableValues.h"
#include "repair/report/FailureLog.h"
#include "repair/startup/ServedHijacks.h"

namespace tovask {

// The values whose commands put a hijack back in the Run and RunOnce keys, Group Policy's Run key
// and the RunServices and RunServicesOnce keys of HKLM (each view) and of each of the users' hives
// ("HKCU" or "HKU\<name>"), or that keep going what serves a hijack found before; a key that
// cannot be read is a failure. None is repairable on a managed machine.
std::vector<RemovableValue> findStartupEntries(PlatformOps& platform,
                                               std::span<const std::wstring> userHives,
                                               bool managedMachine, FailureLog& failures,
                                               const ServedHijacks& served = {});

// Whether a backup section puts back only values of a Run key, the Winlogon
// values the repair changes, or an Active Setup component's key.
bool withinStartupReach(const RegistryFileSection& section, bool hasTwoViews);

}  // namespace tovask
