#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/ScheduledTasks.h"

namespace tovask {

// What the Task Scheduler keeps of a task's actions in its registry cache,
// the Actions value of Schedule\TaskCache\Tasks\{id}: the scheduler runs these,
// whatever the task's file says.
struct CachedTaskActions {
    std::vector<TaskAction> exec;  // the exec actions, in order, as far as they could be read
    // False when the value breaks off, a length runs past its end, or it holds
    // a version, an action type or a number of actions no scheduler writes.
    bool whole = false;

    bool operator==(const CachedTaskActions&) const = default;
};

CachedTaskActions decodeCachedTaskActions(std::span<const std::uint8_t> value);

}  // namespace tovask
