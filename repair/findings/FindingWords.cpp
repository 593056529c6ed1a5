#include "repair/findings/FindingWords.h"

#include <algorithm>

#include "repair/grouppolicy/LocalPolicyTexts.h"
#include "repair/report/FindingTexts.h"
#include "text/DecimalText.h"

namespace tovask {

std::wstring heldText(const Finding& finding, std::span<const Finding> run) {
    auto text = finding.holds;
    const auto note = [&](std::wstring_view tie, std::span<const FindingId> partners) {
        for (const auto id : partners) {
            if (const auto* partner = findingWithId(run, id)) {
                text += std::wstring(tie) + partner->place;
            }
        }
    };
    note(texts::kPutBackBy, finding.putBackBy);
    note(texts::kPutsBack, finding.putsBack);
    return text;
}

std::vector<std::wstring> findingLines(std::span<const Finding> findings, std::size_t limit,
                                       std::span<const Finding> run) {
    std::vector<std::wstring> lines;
    std::vector<std::wstring> groups;
    for (const auto& finding : findings) {
        if (std::ranges::find(groups, finding.group) == groups.end()) {
            groups.push_back(finding.group);
        }
    }
    std::size_t left = 0;
    const auto add = [&](std::wstring line) {
        if (lines.size() < limit) {
            lines.push_back(std::move(line));
        } else {
            ++left;
        }
    };
    for (const auto& group : groups) {
        add(group + L":");
        for (const auto& finding : findings) {
            if (finding.group == group) {
                add(L"  " + finding.place + L" = " + heldText(finding, run) +
                    (finding.repairable ? L"" : std::wstring(texts::kReportOnlySuffix)));
            }
        }
    }
    if (left > 0) {
        lines.push_back(std::wstring(texts::kMoreFindingsPrefix) + decimalText(left));
    }
    return lines;
}

std::wstring choiceText(const Finding& finding, const KindTexts& texts,
                        std::span<const Finding> run) {
    std::wstring text = finding.group + L": " + std::wstring(texts.whatIsWrong);
    if (const auto held = heldText(finding, run); !held.empty()) {
        text += L": " + held;
    }
    return text;
}

std::wstring outcomeLine(const Finding& finding, const KindTexts& texts, Outcome outcome) {
    const auto prefix = outcome == Outcome::Repaired      ? texts.repairedPrefix
                        : outcome == Outcome::NotRepaired ? texts.notRepairedPrefix
                                                          : texts.leftPrefix;
    return std::wstring(prefix) + finding.place;
}

std::wstring putBackLine(const Finding& lock, const Finding& policyFile) {
    return std::wstring(texts::kLockPutBackPrefix) + lock.place + std::wstring(texts::kPutBackBy) +
           policyFile.place;
}

}  // namespace tovask
