#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PlatformOps.h"
#include "repair/backup/RegistryFile.h"
#include "repair/report/FailureLog.h"
#include "repair/report/Finding.h"
#include "text/RegistryPath.h"

namespace tovask {

// A value of Internet Explorer's own restrictions that hides one of the
// browser's menus or commands, as read.
struct IeRestriction {
    RegistryRoot root;
    std::wstring key;  // below the root; for HKU the hive's name first
    RegistryView view;
    std::wstring valueName;  // as the registry spells it
    RegistryValue value;
};

// The restrictions in effect in HKLM and in each of the users' hives ("HKCU"
// or "HKU\<name>"). A key that cannot be read is a failure; a missing one
// restricts nothing.
std::vector<IeRestriction> findIeRestrictions(PlatformOps& platform,
                                              std::span<const std::wstring> userHives,
                                              FailureLog& failures);

std::vector<Finding> findingsOf(std::span<const IeRestriction> found, bool repairable);

// The registry-editor sections that put each value back.
std::vector<RegistryFileSection> backupSectionsFor(std::span<const IeRestriction> found);

// Deletes the value; a failure is logged. True when it is gone.
bool removeRestriction(PlatformOps& platform, const IeRestriction& restriction,
                       FailureLog& failures);

// Whether a backup section puts back only restriction values this repair deletes.
bool withinRestrictionReach(const RegistryFileSection& section, bool hasTwoViews);

}  // namespace tovask
