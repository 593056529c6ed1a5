#pragma once

#include <set>
#include <span>
#include <vector>

#include "repair/report/Finding.h"

namespace tovask {

// A lock and what puts it back: a policy value and the same entry in a local
// policy file that Windows applies again, or a forced extension and a
// start-up program or task whose command names that extension (by its
// identifier) or the list that forces it. Each such finding's text names
// the other's place, so that the report and the consent show them together.
void notePutBackTogether(std::vector<Finding>& findings);

// Whether each finding, as found (before notePutBackTogether), is offered:
// those of the offered kinds, and with them each finding tied to an offered
// one, however far the ties run, and no other finding of its kind. The
// repair never removes one of a pair and leaves the other to put it back.
std::vector<bool> offeredWithWhatPutsBack(std::span<const Finding> findings,
                                          const std::set<FindingKind>& offeredKinds);

}  // namespace tovask
