#include "repair/report/RunRecord.h"

#include <algorithm>

namespace tovask {

RecordedFinding& RunRecord::entryFor(const Finding& finding) {
    const auto id = finding.id();
    const auto at = std::ranges::find(findings_, id, &RecordedFinding::id);
    if (at != findings_.end()) {
        return *at;
    }
    return findings_.emplace_back(RecordedFinding{id, finding, std::nullopt});
}

void RunRecord::found(std::span<const Finding> findings,
                      const std::optional<std::wstring>& managedBecause) {
    managedBecause_ = managedBecause;
    for (const auto& finding : findings) {
        // The run's own list carries the ties between findings.
        entryFor(finding).finding = finding;
    }
}

void RunRecord::became(const Finding& finding, Outcome outcome) {
    entryFor(finding).outcome = outcome;
}

}  // namespace tovask
