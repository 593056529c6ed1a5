#pragma once

#include <span>
#include <vector>

#include "platform/PlatformOps.h"
#include "repair/backup/RegistryFile.h"
#include "repair/network/NetworkSettings.h"
#include "repair/report/FailureLog.h"

namespace tovask {

// The registry-editor sections that put back what the repairable findings'
// edits change, each value once.
std::vector<RegistryFileSection> backupSectionsFor(std::span<const NetworkFinding> found);

// What applying one finding's edits did.
struct NetworkRepair {
    bool repaired = true;  // every edit was made
    bool changed = false;  // at least one was
};

// Applies the finding's edits; each failed write is logged.
NetworkRepair repairNetworkFinding(PlatformOps& platform, const NetworkFinding& found,
                                   FailureLog& failures);

// Whether a backup section reaches only values a network repair may change.
bool withinNetworkReach(const RegistryFileSection& section, bool hasTwoViews);

}  // namespace tovask
