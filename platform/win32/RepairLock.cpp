#include "platform/win32/RepairLock.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include "platform/win32/SystemError.h"

namespace tovask::win32 {
namespace {

constexpr const wchar_t* kLockName = L"Global\\TovaskRepairLock";

DWORD waitMilliseconds(std::chrono::milliseconds wait) {
    // INFINITE is the largest count: a longer wait is an endless one.
    return static_cast<DWORD>(
        std::clamp<std::chrono::milliseconds::rep>(wait.count(), 0, INFINITE));
}

}  // namespace

std::error_code acquireRepairLock(std::chrono::milliseconds wait, KernelHandle& held) {
    // Only the rights to wait and release: the mutex that SYSTEM created grants
    // administrators no more, and asking for all rights would be refused.
    KernelHandle mutex(CreateMutexExW(nullptr, kLockName, 0, SYNCHRONIZE | MUTEX_MODIFY_STATE));
    if (!mutex) {
        return lastError();
    }
    switch (WaitForSingleObject(mutex.get(), waitMilliseconds(wait))) {
        case WAIT_OBJECT_0:
        // Its last owner ended without releasing it: that run is over, and the
        // lock only keeps two runs from overlapping.
        case WAIT_ABANDONED:
            held = std::move(mutex);
            return {};
        case WAIT_TIMEOUT:
            return std::make_error_code(std::errc::timed_out);
        default:
            return lastError();
    }
}

void releaseRepairLock(KernelHandle& held) {
    if (held) {
        ReleaseMutex(held.get());
        held.reset();
    }
}

}  // namespace tovask::win32
