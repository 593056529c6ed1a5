#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "repair/report/RunRequest.h"

namespace tovask {

// One line of the findings dialog: what is wrong in plain words, and beside it
// why it is left (a report-only one).
struct ChoiceLine {
    std::wstring group;
    std::wstring text;
    std::wstring detail;
    FindingId finding;
    // What the dialog shows of the line when it is selected, a line each:
    // where it lives, the value found, and what the repair will do, or why it
    // is left and what the person can do.
    std::vector<std::wstring> details;
};

// What the findings dialog shows: a box per repairable finding, all checked,
// and the report-only findings apart; each list grouped by browser or place.
struct FindingsChoice {
    std::vector<ChoiceLine> toRepair;
    std::vector<ChoiceLine> left;
};

FindingsChoice choiceFor(const FindingsOffer& offer);

// The ids of the offered findings whose boxes are checked, `checked` given
// line by line.
std::vector<FindingId> checkedFindings(const FindingsChoice& choice,
                                       const std::vector<bool>& checked);

}  // namespace tovask
