#include "repair/report/Finding.h"

#include <algorithm>
#include <iterator>

#include "repair/report/FindingTexts.h"
#include "text/DecimalText.h"

namespace tovask {

std::vector<std::wstring> findingLines(std::span<const Finding> findings, std::size_t limit) {
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
                add(L"  " + finding.place + L" = " + finding.holds +
                    (finding.repairable ? L"" : std::wstring(texts::kReportOnlySuffix)));
            }
        }
    }
    if (left > 0) {
        lines.push_back(std::wstring(texts::kMoreFindingsPrefix) + decimalText(left));
    }
    return lines;
}

std::vector<Finding> repairableOnly(std::span<const Finding> findings) {
    std::vector<Finding> repairable;
    std::ranges::copy_if(findings, std::back_inserter(repairable),
                         [](const Finding& finding) { return finding.repairable; });
    return repairable;
}

bool isKept(const Finding& finding, std::span<const Finding> chosen) {
    return !finding.repairable || std::ranges::find(chosen, finding) != chosen.end();
}

}  // namespace tovask
