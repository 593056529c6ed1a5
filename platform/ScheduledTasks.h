#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tovask {

// One program a scheduled task starts, as its definition names it.
struct TaskAction {
    std::wstring command;
    std::wstring arguments;

    bool operator==(const TaskAction&) const = default;
};

// What the scheduler's own file of a task holds that matters here.
struct TaskDefinition {
    bool enabled = true;
    std::vector<TaskAction> actions;  // its exec actions, in order

    bool operator==(const TaskDefinition&) const = default;
};

// Larger task files are refused with std::errc::file_too_large: a definition
// is a few kilobytes, and a planted huge one must not stall the run.
inline constexpr std::size_t kTaskFileSizeLimit = std::size_t{256} << 10;

}  // namespace tovask
