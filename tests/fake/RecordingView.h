#pragma once

#include <map>
#include <optional>
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

    // As the command line's switches answer, kind by kind; unset: ask.
    std::optional<bool> standingConsent(FindingKind kind) const override {
        const auto found = standing.find(kind);
        return found == standing.end() ? std::nullopt : std::optional(found->second);
    }

    std::vector<std::wstring> lines;
    std::wstring page;
    std::vector<std::vector<std::wstring>> questions;
    bool repairFindings = false;
    std::map<FindingKind, bool> standing;
};

}  // namespace tovask::fake
