#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "repair/report/ProgressView.h"

namespace tovask {

// The progress list, the start-page box and the notices as plain data, for a
// run that nobody watches: the command line's report, and the tests.
class RecordingView : public ProgressView {
  public:
    void clearList() override { lines.clear(); }
    void appendLine(std::wstring_view line) override { lines.emplace_back(line); }
    std::wstring startPage() const override { return page; }
    void setStartPage(std::wstring_view text) override { page = text; }
    bool askToRepairFindings(const std::vector<std::wstring>& listed) override {
        questions.push_back(listed);
        return repairFindings;
    }
    bool offersRepairOf(FindingKind kind) const override { return !notOffered.contains(kind); }
    void showNotice(const Notice& notice) override { notices.push_back(notice); }

    std::vector<std::wstring> lines;
    std::wstring page;
    std::vector<std::vector<std::wstring>> questions;
    // The answer to every question.
    bool repairFindings = false;
    std::set<FindingKind> notOffered;
    std::vector<Notice> notices;
};

}  // namespace tovask
