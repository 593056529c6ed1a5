#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/PlatformOps.h"
#include "repair/backup/RegistryFile.h"
#include "repair/plan/PlannedChanges.h"
#include "values/Result.h"

namespace tovask {

// A row of the plan for one hive that the run skips: an entry it touches
// cannot be read, or cannot be kept in the backup.
struct SkippedRow {
    const RegistryStep* step;
    std::wstring path;    // the row's path for its hive
    std::wstring entry;   // what could not be read or kept
    std::wstring reason;  // for the user
};

// An entry that is not as the plan leaves it.
struct RegistryDifference {
    std::wstring entry;  // named as in the file
    const RegistryStep* step;
    // Missing: the repair writes what is not there.
    bool present;
    std::optional<RegistryValue> found;  // what a value row finds now
    std::optional<RegistryValue> wanted;
};

// The registry as it was before a run, for everything the run touches,
// written as the registry-editor sections that put it back: the values the
// run writes or deletes (or that they were missing), the subtrees it deletes
// (or that they were missing), and the topmost key each write creates.
struct CapturedRegistry {
    std::vector<RegistryFileSection> sections;
    // The entries that are not as the plan leaves them; none when the run
    // would change nothing.
    std::vector<RegistryDifference> differences;
    std::vector<SkippedRow> skipped;
    bool runChangesSomething() const { return !differences.empty(); }
    bool skips(const RegistryStep& step, std::wstring_view path) const;
};

// Reads only. Each row is captured for each hive on its own, so that an
// entry a user planted skips only the rows that touch it: one that cannot be
// read, whose name no registry file can hold, or whose data would not fit in
// the backup (the largest rows give way first).
CapturedRegistry captureRegistry(PlatformOps& platform, std::span<const PlannedChange> changes);

}  // namespace tovask
