#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "repair/report/Finding.h"

namespace tovask {

// What a notice says of the run, which the window shows as its icon.
enum class NoticeKind { Error, Warning, Information };

// The closing word of a run for the user: the window shows it as a message
// box, the command line prints its lines.
struct Notice {
    NoticeKind kind;
    std::wstring title;
    std::vector<std::wstring> lines;
};

// What the repair and the undo see of the window: the progress list, the
// start-page box and the notices.
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
    // Returns when the user has read it, where somebody is there to.
    virtual void showNotice(const Notice& notice) = 0;
};

}  // namespace tovask
