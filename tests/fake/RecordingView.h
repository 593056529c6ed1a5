#pragma once

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

    std::vector<std::wstring> lines;
    std::wstring page;
};

}  // namespace tovask::fake
