#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/RegistryValue.h"
#include "repair/RegistryPlan.h"

namespace tovask {

// One row of the registry repair plan in one registry view, with the hive
// the run targets put in for its root.
struct PlannedChange {
    const RegistryStep* step;
    std::wstring path;  // as RegWrite and RegDelete take it
    RegistryView view;
    std::optional<RegistryValue> wanted;  // what a write leaves
};

// The row's path with "HKCU" replaced by the hive of the user the run is for
// ("HKCU" itself, or "HKU\<SID>"); other roots stay.
std::wstring pathForUser(std::wstring_view planPath, std::wstring_view userHive);

// Every row of the plan, in plan order, once per view it acts on.
std::vector<PlannedChange> plannedChanges(std::wstring_view userHive, bool hasTwoViews,
                                          std::wstring_view startPage);

}  // namespace tovask
