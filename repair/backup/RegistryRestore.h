#pragma once

#include <span>

#include "platform/RegistryOps.h"
#include "repair/backup/RegistryFile.h"
#include "repair/report/FailureLog.h"

namespace tovask {

// Puts the backup's sections into the registry in their order, as an import
// by the registry editor would: a subtree the run deleted is removed whole, a
// section's key is created, its values written or deleted. A key the run
// created loses only what the run wrote there (see removalOf). What is already
// gone counts as removed. An entry that fails is logged and the others go on.
void restoreRegistry(RegistryOps& platform, std::span<const RegistryFileSection> sections,
                     bool hasTwoViews, FailureLog& failures);

}  // namespace tovask
