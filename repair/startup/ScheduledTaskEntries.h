#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PlatformOps.h"
#include "repair/backup/files/FileBackup.h"
#include "repair/report/FailureLog.h"
#include "repair/report/Finding.h"
#include "repair/startup/ServedHijacks.h"
#include "repair/startup/StartupCommand.h"

namespace tovask {

// An enabled scheduled task one of whose actions puts a hijack back.
struct HijackingTask {
    std::wstring file;  // the scheduler's file of the task
    Finding finding;    // placed by the task's name ("\Carpeta\Tarea")
};

// The tasks, hidden ones included, whose files lie in every folder below
// System32\Tasks (through the Sysnative alias on a 64-bit Windows), each
// action judged by ServedHijacks::hijackOf. Listing and files are bounded; a file
// that cannot be read or is no task is a failure and the rest goes on. Then
// the actions the scheduler keeps in its registry cache, as
// findCachedTaskHijacks judges them.
std::vector<HijackingTask> findHijackingTasks(PlatformOps& platform, bool managedMachine,
                                              const ServedHijacks& served, FailureLog& failures);

// The first action that puts a hijack back, as its command line and why.
struct HijackingAction {
    std::wstring command;
    StartupHijack hijack;
};
std::optional<HijackingAction> firstHijackingAction(std::span<const TaskAction> actions,
                                                    const ServedHijacks& served);

// The command line the scheduler starts for an action.
std::wstring taskCommandLine(const TaskAction& action);

// Copies the task's file to the file backups, then has the scheduler disable
// the task; a file the scheduler has not registered is moved to the backups
// instead. True when the task can no longer run.
bool disableHijackingTask(PlatformOps& platform, const HijackingTask& task, FileBackup& files,
                          FailureLog& failures);

// Whether a path names a file below a Windows folder's System32\Tasks or
// Sysnative\Tasks.
bool isScheduledTaskFilePath(std::wstring_view path);

}  // namespace tovask
