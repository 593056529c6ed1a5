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
        repaired_.push_back(finding);
        auto repaired = std::ranges::find(group->repaired, repairedCount,
                                          &std::pair<std::wstring, std::size_t>::first);
        if (repaired == group->repaired.end()) {
            repaired =
                group->repaired.insert(group->repaired.end(), {std::wstring(repairedCount), 0});
        }
        ++repaired->second;
    }
}

void RunSummary::leftToDo(const Finding& finding, std::wstring_view title,
                          std::wstring_view whatYouCanDo) {
    toDo_.push_back(L"  " + finding.group + L": " + std::wstring(title) + L"; " +
                    std::wstring(whatYouCanDo));
}

std::vector<std::wstring> RunSummary::lines() const {
    std::vector<std::wstring> lines;
    if (!groups_.empty()) {
        lines.emplace_back(texts::kSummaryHeading);
    }
    for (const auto& group : groups_) {
        std::wstring line = group.group + L": ";
        for (const auto& [name, count] : group.repaired) {
            addCount(line, name, count);
        }
        addCount(line, texts::kSummaryLeftCount, group.left);
        addCount(line, texts::kSummaryFailedCount, group.failed);
        lines.push_back(std::move(line));
    }
    if (!toDo_.empty()) {
        lines.emplace_back(texts::kStillToDoHeading);
        lines.insert(lines.end(), toDo_.begin(), toDo_.end());
    }
    return lines;
}

}  // namespace tovask
