#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "repair/findings/Finding.h"

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
    // Whether findings of the kind are offered at all: the window asks about
    // every kind in one question; the command line only about those its
    // switches name.
    virtual bool offersRepairOf(FindingKind) const { return true; }
};

}  // namespace tovask
