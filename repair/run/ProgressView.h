#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tovask {

// What the repair and the undo see of the window: the progress list and the
// start-page box.
class ProgressView {
  public:
    virtual ~ProgressView() = default;

    virtual void clearList() = 0;
    virtual void appendLine(std::wstring_view line) = 0;
    virtual std::wstring startPage() const = 0;
    virtual void setStartPage(std::wstring_view text) = 0;
    // Whether to repair the findings beyond Internet Explorer these lines list.
    virtual bool askToRepairFindings(const std::vector<std::wstring>& lines) = 0;
};

}  // namespace tovask
