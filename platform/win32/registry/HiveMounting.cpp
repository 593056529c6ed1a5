#include "platform/win32/registry/HiveMounting.h"

#include <windows.h>

#include "platform/win32/Privileges.h"
#include "platform/win32/SystemError.h"
#include "platform/win32/registry/RegistryNames.h"

namespace tovask::win32 {
namespace {

// The system checks the restore privilege to load or unload a hive and the
// backup privilege to read a file that another account owns. Administrators
// and SYSTEM hold both, but switched off until asked for.
std::error_code enableHivePrivileges() {
    return enablePrivileges({SE_BACKUP_NAME, SE_RESTORE_NAME});
}

}  // namespace

Result<std::vector<std::wstring>> loadedUserHives() {
    return subkeyNamesOf(HKEY_USERS);
}

std::error_code loadUserHive(std::wstring_view mountName, std::wstring_view hiveFile) {
    if (const auto error = enableHivePrivileges()) {
        return error;
    }
    const std::wstring mount(mountName);
    const std::wstring file(hiveFile);
    return errorFromCode(RegLoadKeyW(HKEY_USERS, mount.c_str(), file.c_str()));
}

std::error_code unloadUserHive(std::wstring_view mountName) {
    if (const auto error = enableHivePrivileges()) {
        return error;
    }
    const std::wstring mount(mountName);
    return errorFromCode(RegUnLoadKeyW(HKEY_USERS, mount.c_str()));
}

}  // namespace tovask::win32
