#include "platform/win32/Privileges.h"

#include <windows.h>

#include <vector>

#include "platform/win32/Handles.h"
#include "platform/win32/SystemError.h"

namespace tovask::win32 {

std::error_code enablePrivileges(std::initializer_list<const wchar_t*> names) {
    // TOKEN_PRIVILEGES declares room for one entry; the others follow it.
    std::vector<BYTE> buffer(sizeof(TOKEN_PRIVILEGES) + names.size() * sizeof(LUID_AND_ATTRIBUTES));
    auto* privileges = reinterpret_cast<TOKEN_PRIVILEGES*>(buffer.data());
    privileges->PrivilegeCount = static_cast<DWORD>(names.size());
    LUID_AND_ATTRIBUTES* entry = privileges->Privileges;
    for (const wchar_t* name : names) {
        if (!LookupPrivilegeValueW(nullptr, name, &entry->Luid)) {
            return lastError();
        }
        entry->Attributes = SE_PRIVILEGE_ENABLED;
        ++entry;
    }
    KernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY,
                          token.receive())) {
        return lastError();
    }
    if (!AdjustTokenPrivileges(token.get(), FALSE, privileges, 0, nullptr, nullptr)) {
        return lastError();
    }
    // The call succeeds even when it enabled only some of them.
    return errorFromCode(GetLastError());
}

}  // namespace tovask::win32
