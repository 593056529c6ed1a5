#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "repair/report/Finding.h"

namespace tovask {

// A finding of the run and what became of it; none while it is only found.
struct RecordedFinding {
    FindingId id;
    Finding finding;
    std::optional<Outcome> outcome;
};

// What a run found and did, by finding id, for a script to read: each
// finding once, however often the run lists it, with its last outcome.
class RunRecord {
  public:
    void found(std::span<const Finding> findings,
               const std::optional<std::wstring>& managedBecause);
    void became(const Finding& finding, Outcome outcome);

    const std::vector<RecordedFinding>& findings() const { return findings_; }
    const std::optional<std::wstring>& managedBecause() const { return managedBecause_; }

  private:
    RecordedFinding& entryFor(const Finding& finding);

    std::vector<RecordedFinding> findings_;
    std::optional<std::wstring> managedBecause_;
};

}  // namespace tovask
