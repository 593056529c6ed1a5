#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "repair/report/Finding.h"

namespace tovask {

// What one run is asked to do: the window reads it from its controls at each
// press, the command line from its switches.
struct RunRequest {
    // As typed or given with /startpage:; empty for the default page.
    std::wstring startPage;
    // On behalf of every user of the machine: every user's hive, and the
    // browser of every user logged on, not only this desktop's.
    bool everyUser = false;
    // The kinds of finding whose repair may be offered: every kind in the
    // window, the kinds its switches name on the command line.
    std::set<FindingKind> offeredKinds;
};

// Whether to repair the findings these lines list: the window asks the user,
// the command line answers from its switches.
using FindingsConsent = std::function<bool(const std::vector<std::wstring>& lines)>;

}  // namespace tovask
