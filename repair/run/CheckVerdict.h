#pragma once

#include <optional>
#include <string_view>

#include "repair/backup/RegistryCapture.h"
#include "repair/plan/RegistryPlan.h"

namespace tovask {

// How the check weighs one entry that the repair would change.
enum class EntryVerdict {
    Counts,         // a setting that was changed: the check exits 1
    WillBeWritten,  // missing, as on a new Windows that never made it: listed, not counted
    Information,    // a page the repair replaces, such as Windows' own: listed, not counted
    Same,           // differs only where Windows ignores case
};

// The start page given for the run, from the command line or the window's
// box; none when the repair writes its default one. A page row counts only
// when a given start page differs from it, or when it holds a web address
// that is neither Windows' own nor the program's default.
EntryVerdict judgeDifference(const RegistryDifference& difference,
                             std::optional<std::wstring_view> givenStartPage);

// The plan's rows that delete or rewrite policy keys (Software\Policies, the
// Windows policies key, the users' local Group Policy objects): on a managed
// machine they belong to the organisation, which puts them back.
bool isPolicyRow(const RegistryStep& step);

}  // namespace tovask
