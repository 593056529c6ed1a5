#pragma once

#include <string_view>
#include <system_error>

#include "platform/ScheduledTasks.h"
#include "platform/win32/Handles.h"
#include "values/Result.h"

namespace tovask::win32 {

// The system's XmlLite, loaded once for the many task files of a run.
Result<LoadedLibrary> loadXmlLite();

// The task file, read whole within kTaskFileSizeLimit and parsed by XmlLite
// with document types prohibited and the nesting bounded. Needs no COM.
Result<TaskDefinition> readTaskFile(std::wstring_view path, const LoadedLibrary& xmllite);

// The task of a file below the Windows folder's System32\Tasks (or its
// Sysnative alias), through the Task Scheduler 2.0 interface. The calling
// thread's COM is set up here for the call.
std::error_code setTaskEnabled(std::wstring_view taskFile, bool enabled);
// Whether the scheduler has registered the task of that file.
Result<bool> schedulerKnowsTask(std::wstring_view taskFile);

}  // namespace tovask::win32
