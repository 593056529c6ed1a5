#include "platform/win32/session/SecurityIdentity.h"

#include <windows.h>

#include "platform/win32/SystemError.h"
#include "platform/win32/session/ProcessUser.h"

namespace tovask::win32 {
namespace {

Result<std::wstring> userSidOf(HANDLE process) {
    const auto user = ProcessUser::of(process);
    if (!user.ok()) {
        return user.error();
    }
    return sidText(user.value().sid());
}

}  // namespace

Result<std::wstring> programUserSid() {
    return userSidOf(GetCurrentProcess());
}

Result<std::wstring> desktopUserSid() {
    const HWND shell = GetShellWindow();
    if (shell == nullptr) {
        return std::make_error_code(std::errc::no_such_file_or_directory);
    }
    DWORD processId = 0;
    if (GetWindowThreadProcessId(shell, &processId) == 0) {
        return lastError();
    }
    const auto process = openProcessToQuery(processId);
    if (!process.ok()) {
        return process.error();
    }
    return userSidOf(process.value().get());
}

}  // namespace tovask::win32
