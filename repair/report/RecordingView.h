#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "repair/report/ProgressView.h"
#include "repair/report/RunRecord.h"

namespace tovask {

// The progress list, the start-page box and the notices as plain data, for a
// run that nobody watches: the command line's report, and the tests.
class RecordingView : public ProgressView {
  public:
    void clearList() override { lines.clear(); }
    void appendLine(std::wstring_view line) override { lines.emplace_back(line); }
    void setStartPage(std::wstring_view text) override { page = text; }
    void showNotice(const Notice& notice) override { notices.push_back(notice); }
    void recordFindings(std::span<const Finding> findings,
                        const std::optional<std::wstring>& managedBecause) override {
        record.found(findings, managedBecause);
    }
    void recordOutcome(const Finding& finding, Outcome outcome) override {
        record.became(finding, outcome);
    }

    std::vector<std::wstring> lines;
    std::wstring page;  // the start-page box
    std::vector<Notice> notices;
    RunRecord record;
};

}  // namespace tovask
