#pragma once

#include <set>
#include <string>
#include <vector>

#include "repair/run/ProgressView.h"

namespace tovask::fake {

// The progress list and start-page box as plain data.
class RecordingView final : public ProgressView {
  public:
    void clearList() override { lines.clear(); }
    void appendLine(std::wstring_view line) override { lines.emplace_back(line); }
    std::wstring startPage() const override { return page; }
    void setStartPage(std::wstring_view text) override { page = text; }
    bool askToRepairFindings(const std::vector<std::wstring>& lines) override {
        questions.push_back(lines);
        return repairFindings;
    }
    bool offersRepairOf(FindingKind kind) const override { return !notOffered.contains(kind); }

    std::vector<std::wstring> lines;
    std::wstring page;
    std::vector<std::vector<std::wstring>> questions;
    bool repairFindings = false;
    std::set<FindingKind> notOffered;
};

}  // namespace tovask::fake
