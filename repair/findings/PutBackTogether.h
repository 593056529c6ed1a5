#pragma once

#include <optional>
#include <set>
#include <span>
#include <string>
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

// Forgets each local policy file that could not be read while no lock lies
// in its hives: it puts nothing back, and its failure is told anyway.
void forgetUnreadFilesWithoutLocks(std::vector<Finding>& findings);

// The local policy file finding, among the findings as found, that stays to
// put back a lock removed from the registry: an entry of the same lock whose
// file was not rewritten, or a file that could not be read, which may write
// any lock of its hives. `rewritten` tells of each finding whether its repair
// was made; the files are repaired before the locks.
std::optional<std::size_t> stayingPolicyFileOf(std::span<const Finding> findings, std::size_t lock,
                                               const std::vector<bool>& rewritten);

// The report line of such a lock, naming the file.
std::wstring putBackLine(const Finding& lock, const Finding& policyFile);

}  // namespace tovask
