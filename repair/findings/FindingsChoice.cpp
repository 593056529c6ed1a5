#include "repair/findings/FindingsChoice.h"

#include <algorithm>

#include "repair/findings/FindingKinds.h"
#include "repair/findings/FindingWords.h"

namespace tovask {
namespace {

// "Página de inicio impuesta: http://...", the reason a report-only one is
// left beside it; the lines of a group together, groups as first found.
std::vector<ChoiceLine> linesOf(std::span<const Finding> findings, bool repairable,
                                std::span<const Finding> run) {
    std::vector<ChoiceLine> lines;
    for (const auto& finding : findings) {
        const auto& texts = rowOf(finding.kind).texts;
        lines.push_back({finding.group, findingTitle(finding),
                         repairable ? L"" : std::wstring(whyLeft(finding, texts)), finding.id(),
                         detailLines(finding, texts, run)});
    }
    std::vector<std::wstring> groups;
    for (const auto& line : lines) {
        if (std::ranges::find(groups, line.group) == groups.end()) {
            groups.push_back(line.group);
        }
    }
    std::ranges::stable_sort(lines, {}, [&](const ChoiceLine& line) {
        return std::ranges::find(groups, line.group) - groups.begin();
    });
    return lines;
}

}  // namespace

FindingsChoice choiceFor(const FindingsOffer& offer) {
    std::vector<Finding> run(offer.repairable.begin(), offer.repairable.end());
    run.insert(run.end(), offer.reportOnly.begin(), offer.reportOnly.end());
    return {linesOf(offer.repairable, true, run), linesOf(offer.reportOnly, false, run)};
}

std::vector<FindingId> checkedFindings(const FindingsChoice& choice,
                                       const std::vector<bool>& checked) {
    std::vector<FindingId> chosen;
    for (std::size_t i = 0; i < choice.toRepair.size() && i < checked.size(); ++i) {
        if (checked[i]) {
            chosen.push_back(choice.toRepair[i].finding);
        }
    }
    return chosen;
}

}  // namespace tovask
