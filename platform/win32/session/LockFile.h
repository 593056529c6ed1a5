#pragma once

#include <chrono>
#include <string>
#include <system_error>

#include "platform/win32/Handles.h"
#include "values/Result.h"

namespace tovask::win32 {

// The machine-wide lock: a file in the system's drivers\etc folder, which
// only administrators can write to, held open without sharing. Only
// Administrators and SYSTEM may open the file at all, so a standard user can
// neither create it first nor hold it. It is deleted when its handle closes,
// and the system closes that handle when its process ends, however it ends.
Result<std::wstring> repairLockFile();
// On success `held` is the open file, from any thread until it is closed.
std::error_code acquireRepairLock(std::chrono::milliseconds wait, KernelHandle& held);
void releaseRepairLock(KernelHandle& held);

}  // namespace tovask::win32
