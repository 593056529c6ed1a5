#pragma once

#include <set>
#include <span>

#include "repair/report/FindingKindRow.h"

namespace tovask {

// Every kind of finding beyond Internet Explorer, in the order the report
// lists them and the repair takes them. A new kind is one more row here.
std::span<const FindingKindRow* const> findingKinds();
// What /all and the window offer: every kind.
std::set<FindingKind> everyFindingKind();
// The row of a kind; every kind has one.
const FindingKindRow& rowOf(FindingKind kind);
// Its name in the run's JSON, as its row gives it: "browserPolicy".
std::wstring_view kindName(FindingKind kind);
// The first kind whose repairs change the registry-backup section, or whose
// file backups may name the file; none when no kind's do.
const FindingKindRow* kindReaching(const RegistryFileSection& section, bool hasTwoViews);
const FindingKindRow* kindOwningFile(std::wstring_view path);

}  // namespace tovask
