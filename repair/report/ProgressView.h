#pragma once

#include <optional>
#include <span>
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

// What the repair and the undo show: the progress list, the start-page box
// and the notices. What a run is asked to do comes in its request.
class ProgressView {
  public:
    virtual ~ProgressView() = default;

    virtual void clearList() = 0;
    virtual void appendLine(std::wstring_view line) = 0;
    virtual void setStartPage(std::wstring_view text) = 0;
    // Returns when the user has read it, where somebody is there to.
    virtual void showNotice(const Notice& notice) = 0;
    // Asks whether to go on with what the list just told, Yes or No. Where
    // nobody is there to answer (a script's run), the run goes on.
    virtual bool confirm(const Notice& /*question*/) { return true; }
    // Asks whether to do something more that the run does not need, Yes or
    // No. Where nobody is there to answer, the answer is no.
    virtual bool offer(const Notice& /*question*/) { return false; }

    // The run's findings as facts, beside the lines that tell them: the view
    // that answers a script keeps them, a window has the lines.
    virtual void recordFindings(std::span<const Finding> /*findings*/,
                                const std::optional<std::wstring>& /*managedBecause*/) {}
    virtual void recordOutcome(const Finding& /*finding*/, Outcome /*outcome*/) {}
};

}  // namespace tovask
