#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/RegistryOps.h"
#include "repair/backup/RegistryFile.h"
#include "repair/report/FailureLog.h"

namespace tovask {

// Puts the backup's sections into the registry in their order, as an import
// by the registry editor would: a subtree the run deleted is removed whole, a
// section's key is created, its values written or deleted. A key the run
// created loses only what the run wrote there (see removalOf). What is already
// gone counts as removed. An entry that fails is logged and the others go on.
// Gives what it put back: each section's key removed or emptied of what the
// run wrote, and each value written or deleted again.
struct RestoredEntry {
    std::size_t section;
    std::optional<std::wstring> valueName;  // none for the key itself

    bool operator==(const RestoredEntry&) const = default;
};
std::vector<RestoredEntry> restoreRegistry(RegistryOps& platform,
                                           std::span<const RegistryFileSection> sections,
                                           bool hasTwoViews, FailureLog& failures);

}  // namespace tovask
