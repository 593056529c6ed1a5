#include "platform/win32/session/Elevation.h"

#include <windows.h>

#include "platform/win32/Handles.h"
#include "platform/win32/SystemError.h"
#include "platform/win32/session/ProcessUser.h"

namespace tovask::win32 {
namespace {

Result<bool> runsAsSystem() {
    const auto user = ProcessUser::of(GetCurrentProcess());
    if (!user.ok()) {
        return user.error();
    }
    return IsWellKnownSid(user.value().sid(), WinLocalSystemSid) != FALSE;
}

// Before elevation existed an administrator always had full rights.
Result<bool> inAdministratorsGroup() {
    BYTE sid[SECURITY_MAX_SID_SIZE] = {};
    DWORD size = sizeof sid;
    if (!CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, sid, &size)) {
        return lastError();
    }
    BOOL member = FALSE;
    if (!CheckTokenMembership(nullptr, sid, &member)) {
        return lastError();
    }
    return member != FALSE;
}

}  // namespace

Result<bool> isElevated() {
    const auto system = runsAsSystem();
    if (!system.ok() || system.value()) {
        return system;
    }
    KernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.receive())) {
        return lastError();
    }
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size)) {
        return elevation.TokenIsElevated != 0;
    }
    // A system that knows no elevation does not know the question either.
    if (GetLastError() == ERROR_INVALID_PARAMETER) {
        return inAdministratorsGroup();
    }
    return lastError();
}

}  // namespace tovask::win32
