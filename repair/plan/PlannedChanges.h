#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "repair/plan/RegistryPlan.h"
#include "values/RegistryValue.h"

namespace tovask {

// What one run acts on besides the plan itself.
struct RunTargets {
    // Where the rows for the current user go: "HKCU", "HKU\<SID>" for the user
    // whose desktop the program is on, or one hive for each user of the machine.
    std::vector<std::wstring> userHives{L"HKCU"};
    bool hasTwoViews = false;
    std::wstring windowsFolder;  // for the blank page of each view
    std::wstring startPage;
};

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
// The row's path for each hive, or once as it is when it is not a user's row.
std::vector<std::wstring> pathsForUsers(std::wstring_view planPath,
                                        std::span<const std::wstring> userHives);

// The browser's own blank page: in the system folder of the view, which is
// SysWOW64 for the 32-bit view of a 64-bit Windows.
std::wstring localPageFor(std::wstring_view windowsFolder, RegistryView view);

// Every row of the plan, in plan order, once per view it acts on and, for the
// current user's rows, once per user hive.
std::vector<PlannedChange> plannedChanges(const RunTargets& targets);

}  // namespace tovask
