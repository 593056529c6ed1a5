#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/PlatformOps.h"
#include "repair/report/FailureLog.h"
#include "repair/startup/ScheduledTaskEntries.h"
#include "repair/startup/ServedHijacks.h"

namespace tovask {

// A task's file found below the Tasks folder, and what it holds when it
// could be read.
struct ListedTask {
    std::wstring file;
    std::wstring name;  // "\Carpeta\Tarea"
    std::optional<TaskDefinition> definition;
};

// The scheduler runs the actions it keeps in its registry cache,
// HKLM\...\Schedule\TaskCache\Tasks\{id}\Actions, whatever the task's file
// says; the entry's Path names the task, and so its file. Where those actions
// are not the file's, a finding says so and is only reported. Where one puts
// a hijack back, it is a finding as a file's would be, unless the file's
// already is one; the repair disables the task through its file, and so only
// when the file is there and the scheduler's tree (TaskCache\Tree\<Path>, its
// Id) leads to this entry: disabling the task by its name would not reach an
// entry it does not lead to. Otherwise the finding is only reported. An
// Actions value that cannot be read whole is a failure, and the actions read
// before the break are still judged.
void findCachedTaskHijacks(PlatformOps& platform, std::span<const ListedTask> listed,
                           bool managedMachine, const ServedHijacks& served,
                           std::vector<HijackingTask>& found, FailureLog& failures);

}  // namespace tovask
