#pragma once

#include <optional>
#include <span>
#include <string>

#include "repair/RegistryFile.h"

namespace tovask {

// The program runs elevated and imports its backup, so the backup may only
// reach what the registry repair plan reaches: the plan's keys (in either
// view, for the current user or any user's hive named by its SID) with only
// the plan's values, the subtrees the plan deletes, and, to be deleted only,
// the keys a write of the plan may have created on the way. Returns the first
// key outside that reach, or the key of a value outside it.
std::optional<std::wstring> keyOutsidePlan(std::span<const RegistryFileSection> sections,
                                           bool hasTwoViews);

}  // namespace tovask
