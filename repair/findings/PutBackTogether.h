#pragma once

#include <set>
#include <span>
#include <string>
#include <vector>

#include "repair/report/Finding.h"

namespace tovask {

// A lock and what puts it back: a policy value and the same entry in a local
// policy file that Windows applies again, or a forced extension and a
// start-up program or task whose command names that extension (by its
// identifier) or the list that forces it. Each such finding is tied to the
// other by id, so that the report and the consent show them together.
void tiePutBackTogether(std::vector<Finding>& findings);

// The ids of the findings offered, given them tied: those of the offered
// kinds, and with them each finding tied to an offered one, however far the
// ties run, and no other finding of its kind. The repair never removes one
// of a pair and leaves the other to put it back.
std::set<FindingId> offeredWithWhatPutsBack(std::span<const Finding> findings,
                                            const std::set<FindingKind>& offeredKinds);

// Forgets each local policy file that could not be read while no lock lies
// in its hives: it puts nothing back, and its failure is told anyway.
void forgetUnreadFilesWithoutLocks(std::vector<Finding>& findings);

// The local policy file finding, among the run's findings, that stays to put
// back a lock removed from the registry: an entry of the same lock whose file
// was not rewritten, or a file that could not be read, which may write any
// lock of its hives. `rewritten` holds the findings whose repair was made;
// the files are repaired before the locks.
const Finding* stayingPolicyFileOf(std::span<const Finding> findings, const Finding& lock,
                                   const std::set<FindingId>& rewritten);

}  // namespace tovask
