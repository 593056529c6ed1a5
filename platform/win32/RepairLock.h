#pragma once

#include <chrono>
#include <system_error>

#include "platform/win32/Handles.h"

namespace tovask::win32 {

// The machine-wide lock as a named mutex, shared by every session. On success
// the calling thread owns the mutex and `held` is its handle; only that thread
// can release it, and if it ends first the next one to wait takes it over.
std::error_code acquireRepairLock(std::chrono::milliseconds wait, KernelHandle& held);
void releaseRepairLock(KernelHandle& held);

}  // namespace tovask::win32
