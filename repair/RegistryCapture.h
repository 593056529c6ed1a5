#pragma once

#include <span>
#include <string>
#include <vector>

#include "platform/PlatformOps.h"
#include "platform/Result.h"
#include "repair/PlannedChanges.h"
#include "repair/RegistryFile.h"

namespace tovask {

// The registry as it was before a run, for everything the run touches,
// written as the registry-editor sections that put it back: the values the
// run writes or deletes (or that they were missing), the subtrees it deletes
// (or that they were missing), and the topmost key each write creates.
struct CapturedRegistry {
    std::vector<RegistryFileSection> sections;
    // The entries that are not as the plan leaves them, named as in the
    // file; none when the run would change nothing.
    std::vector<std::wstring> differences;
    bool runChangesSomething() const { return !differences.empty(); }
};

// Reads only. Fails with the first read error other than "not found".
Result<CapturedRegistry> captureRegistry(PlatformOps& platform,
                                         std::span<const PlannedChange> changes);

}  // namespace tovask
