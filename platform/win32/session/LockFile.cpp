#include "platform/win32/session/LockFile.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/SystemError.h"
#include "platform/win32/files/FileSecurity.h"
#include "platform/win32/files/SystemFolders.h"

namespace tovask::win32 {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

// How often a waiting run tries the lock again.
constexpr milliseconds kRetryPause{100};

std::error_code tryToOpen(const std::wstring& path, FileSecurity& security, KernelHandle& held) {
    // No sharing at all: a second opener is refused while this handle lives.
    const HANDLE opened =
        CreateFileW(path.c_str(), GENERIC_READ, 0, security.attributes(), OPEN_ALWAYS,
                    FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        return lastError();
    }
    held.reset(opened);
    return {};
}

}  // namespace

Result<std::wstring> repairLockFile() {
    const auto folder = systemFolder();
    if (!folder.ok()) {
        return folder.error();
    }
    return folder.value() + L"\\drivers\\etc\\TovaskRepair.lock";
}

std::error_code acquireRepairLock(milliseconds wait, KernelHandle& held) {
    const auto path = repairLockFile();
    if (!path.ok()) {
        return path.error();
    }
    FileSecurity security;
    if (const auto error = FileSecurity::administratorsOnly(security)) {
        return error;
    }
    const auto deadline = steady_clock::now() + wait;
    for (;;) {
        const auto error = tryToOpen(path.value(), security, held);
        if (error != std::error_code(ERROR_SHARING_VIOLATION, std::system_category())) {
            return error;
        }
        const auto left = std::chrono::duration_cast<milliseconds>(deadline - steady_clock::now());
        if (left <= milliseconds::zero()) {
            return std::make_error_code(std::errc::timed_out);
        }
        Sleep(static_cast<DWORD>(std::min(left, kRetryPause).count()));
    }
}

void releaseRepairLock(KernelHandle& held) {
    held.reset();
}

}  // namespace tovask::win32
