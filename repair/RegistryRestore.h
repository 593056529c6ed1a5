#pragma once

#include <span>

#include "platform/PlatformOps.h"
#include "repair/FailureLog.h"
#include "repair/RegistryFile.h"

namespace tovask {

// Puts the backup's sections into the registry in their order, as an import
// by the registry editor would: a removed key goes with its subtree, a
// section's key is created, its values written or deleted. What is already
// gone counts as removed. An entry that fails is logged and the others go on.
void restoreRegistry(PlatformOps& platform, std::span<const RegistryFileSection> sections,
                     bool hasTwoViews, FailureLog& failures);

}  // namespace tovask
