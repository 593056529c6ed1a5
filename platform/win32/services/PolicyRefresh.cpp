#include "platform/win32/services/PolicyRefresh.h"

#include <windows.h>

#include <userenv.h>

#include "platform/win32/SystemError.h"
#include "platform/win32/SystemLibrary.h"

namespace tovask::win32 {

std::error_code refreshPolicy(PolicyScope scope) {
    const auto userenv = loadSystemLibrary(L"userenv.dll");
    if (!userenv.ok()) {
        return userenv.error();
    }
    using RefreshPolicyExFunction = BOOL(WINAPI*)(BOOL, DWORD);
    const auto refresh = findExport<RefreshPolicyExFunction>(userenv.value(), "RefreshPolicyEx");
    if (refresh == nullptr) {
        return std::make_error_code(std::errc::function_not_supported);
    }
    if (!refresh(scope == PolicyScope::Machine, RP_FORCE)) {
        return lastError();
    }
    return {};
}

}  // namespace tovask::win32
