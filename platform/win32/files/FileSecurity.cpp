#include "platform/win32/files/FileSecurity.h"

#include <aclapi.h>
#include <sddl.h>

#include "platform/win32/Privileges.h"
#include "platform/win32/SystemError.h"
#include "values/Result.h"

namespace tovask::win32 {
namespace {

// Protected access list: full control for BUILTIN\Administrators and SYSTEM.
constexpr const wchar_t* kAdministratorsOnly = L"D:P(A;;FA;;;BA)(A;;FA;;;SY)";

}  // namespace

std::error_code FileSecurity::administratorsOnly(FileSecurity& security) {
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(
            kAdministratorsOnly, SDDL_REVISION_1, security.descriptor_.receive(), nullptr)) {
        return lastError();
    }
    return {};
}

std::error_code FileSecurity::ofFile(const std::wstring& path, FileSecurity& security) {
    // A file owned by SYSTEM or TrustedInstaller can only be given that owner
    // again with the restore privilege. Without it, the creation that asks for
    // the owner fails and says why, so its own failure is not the one to report.
    enablePrivileges({SE_RESTORE_NAME});
    const auto code = GetNamedSecurityInfoW(
        path.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
        nullptr, nullptr, nullptr, nullptr, security.descriptor_.receive());
    const auto error = errorFromCode(code);
    return isNotFound(error) ? std::error_code{} : error;
}

SECURITY_ATTRIBUTES* FileSecurity::attributes() {
    if (!descriptor_) {
        return nullptr;
    }
    attributes_ = {sizeof attributes_, descriptor_.get(), FALSE};
    return &attributes_;
}

}  // namespace tovask::win32
