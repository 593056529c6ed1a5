#pragma once

#include <span>
#include <string>
#include <vector>

#include "platform/PlatformOps.h"
#include "repair/backup/RegistryFile.h"
#include "repair/report/FailureLog.h"
#include "repair/report/Finding.h"
#include "values/RegistryValue.h"

namespace tovask {

// A Run or RunOnce value whose command puts a hijack back.
struct StartupEntry {
    std::wstring keyPath;  // as the platform names it, with a trailing backslash
    RegistryView view;
    std::wstring valueName;
    RegistryValue value;
    RegistryFileSection backup;  // puts the value back
    Finding finding;
};

// The Run and RunOnce keys of HKLM (each view) and of each of the users'
// hives ("HKCU" or "HKU\<name>"); a key that cannot be read is a failure. None
// is repairable on a managed machine.
std::vector<StartupEntry> findStartupEntries(PlatformOps& platform,
                                             std::span<const std::wstring> userHives,
                                             bool managedMachine, FailureLog& failures);

// True when the value is gone; a failure is logged.
bool removeStartupEntry(PlatformOps& platform, const StartupEntry& entry, FailureLog& failures);

// Whether a backup section puts back only values of a Run or RunOnce key.
bool withinStartupReach(const RegistryFileSection& section, bool hasTwoViews);

}  // namespace tovask
