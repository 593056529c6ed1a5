#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "repair/backup/RegistryFile.h"

namespace tovask {

// The program runs elevated and imports its backup, so the backup may only
// reach what the registry repair plan reaches: the plan's keys (in either
// view, for the current user or any user's hive named by its account SID)
// with only the plan's values, the subtrees the plan deletes, and, to be
// removed only, the keys a write of the plan may have created on the way.
// Beyond the plan, a section may lie within the reach of the kinds of finding,
// which their caller gives. Returns the first key outside that reach, or the
// key of a value outside it.
using RegistryReach = bool (*)(const RegistryFileSection& section, bool hasTwoViews);
std::optional<std::wstring> keyOutsidePlan(std::span<const RegistryFileSection> sections,
                                           bool hasTwoViews, RegistryReach kindsReach);

// What a "[-key]" section undoes. Every version writes that line both for a
// subtree the run deleted (or found missing) and for a key a write created;
// only the plan tells them apart.
enum class KeyRemoval {
    Subtree,     // exactly the key of a delete-key row: it goes with its subtree
    CreatedKey,  // on the way to a write row: only the plan's values and emptied keys go
    Outside,
};

// For a key as the platform reaches it ("HKLM\Software\Key\", or
// "HKU\<hive>\Software\Key\" for the user of that hive).
KeyRemoval removalOf(std::wstring_view keyPath);

// A value the plan writes at or below a key.
struct PlannedValueBelow {
    std::wstring subkey;  // the way from the key to the value's key; empty for the key itself
    std::wstring valueName;
};
std::vector<PlannedValueBelow> plannedValuesBelow(std::wstring_view keyPath);

}  // namespace tovask
