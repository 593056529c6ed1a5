#include "repair/report/RunSummary.h"

#include <algorithm>

#include "repair/report/FindingTexts.h"
#include "text/DecimalText.h"

namespace tovask {
namespace {

void addCount(std::wstring& line, std::wstring_view name, std::size_t count) {
    if (count > 0) {
        line +=
            (line.ends_with(L": ") ? L"" : L"; ") + std::wstring(name) + L": " + decimalText(count);
    }
}

}  // namespace

void RunSummary::count(const Finding& finding, std::wstring_view repairedCount, Outcome outcome) {
    auto group = std::ranges::find(groups_, finding.group, &GroupCounts::group);
    if (group == groups_.end()) {
        group = groups_.insert(groups_.end(), {finding.group, {}, 0, 0});
    }
    if (outcome == Outcome::Left) {
        ++group->left;
    } else if (outcome == Outcome::NotRepaired) {
        ++group->failed;
    } else {
        auto repaired = std::ranges::find(group->repaired, repairedCount,
                                          &std::pair<std::wstring, std::size_t>::first);
        if (repaired == group->repaired.end()) {
            repaired =
                group->repaired.insert(group->repaired.end(), {std::wstring(repairedCount), 0});
        }
        ++repaired->second;
    }
}

std::vector<std::wstring> RunSummary::lines() const {
    if (groups_.empty()) {
        return {};
    }
    std::vector<std::wstring> lines{std::wstring(texts::kSummaryHeading)};
    for (const auto& group : groups_) {
        std::wstring line = group.group + L": ";
        for (const auto& [name, count] : group.repaired) {
            addCount(line, name, count);
        }
        addCount(line, texts::kSummaryLeftCount, group.left);
        addCount(line, texts::kSummaryFailedCount, group.failed);
        lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace tovask
