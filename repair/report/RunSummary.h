#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "repair/report/Finding.h"

namespace tovask {

// What became of a run's findings, counted per browser or place, to end the
// report: "Chrome: bloqueos quitados: 2; dejados por elección: 1".
class RunSummary {
  public:
    // `repairedCount` names what a repair of its kind did ("bloqueos quitados").
    void count(const Finding& finding, std::wstring_view repairedCount, Outcome outcome);
    // A finding the run only reports that leaves the browser changed, by its
    // group and title, with the one thing the person can do about it.
    void leftToDo(const Finding& finding, std::wstring_view title, std::wstring_view whatYouCanDo);
    // A heading and a line per group, then what is still to do; nothing when
    // no finding was counted.
    std::vector<std::wstring> lines() const;
    // The findings the run repaired, in the order it told them.
    const std::vector<Finding>& repaired() const { return repaired_; }

  private:
    struct GroupCounts {
        std::wstring group;
        std::vector<std::pair<std::wstring, std::size_t>> repaired;
        std::size_t left = 0;
        std::size_t failed = 0;
    };
    std::vector<GroupCounts> groups_;
    std::vector<std::wstring> toDo_;
    std::vector<Finding> repaired_;
};

}  // namespace tovask
