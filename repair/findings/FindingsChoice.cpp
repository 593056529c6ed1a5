#include "repair/findings/FindingsChoice.h"

#include <algorithm>

#include "repair/findings/FindingKinds.h"

namespace tovask {
namespace {

const KindTexts& textsOf(FindingKind kind) {
    return (*std::ranges::find(findingKinds(), kind, &FindingKindRow::kind))->texts;
}

// "Chrome: ajuste impuesto por una directiva: http://...", the place or the
// reason beside it; the lines of a group together, groups as first found.
std::vector<ChoiceLine> linesOf(std::span<const Finding> findings, bool repairable) {
    std::vector<ChoiceLine> lines;
    for (std::size_t i = 0; i < findings.size(); ++i) {
        const auto& finding = findings[i];
        const auto& texts = textsOf(finding.kind);
        std::wstring text = finding.group + L": " + std::wstring(texts.whatIsWrong);
        if (!finding.holds.empty()) {
            text += L": " + finding.holds;
        }
        lines.push_back({finding.group, std::move(text),
                         repairable ? finding.place : std::wstring(texts.whyLeft), i});
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
    return {linesOf(offer.repairable, true), linesOf(offer.reportOnly, false)};
}

std::vector<Finding> checkedFindings(const FindingsOffer& offer, const FindingsChoice& choice,
                                     const std::vector<bool>& checked) {
    std::vector<Finding> chosen;
    for (std::size_t i = 0; i < choice.toRepair.size() && i < checked.size(); ++i) {
        if (checked[i]) {
            chosen.push_back(offer.repairable[choice.toRepair[i].finding]);
        }
    }
    return chosen;
}

}  // namespace tovask
