#include "repair/users/DesktopUser.h"

#include "text/TextCompare.h"

namespace tovask {

std::wstring desktopUserHive(PlatformOps& platform) {
    const auto desktopUser = platform.DesktopUserSid();
    if (!desktopUser.ok()) {
        return L"HKCU";
    }
    const auto programUser = platform.ProgramUserSid();
    if (!programUser.ok() || equalsIgnoringCase(programUser.value(), desktopUser.value())) {
        return L"HKCU";
    }
    return L"HKU\\" + desktopUser.value();
}

}  // namespace tovask
