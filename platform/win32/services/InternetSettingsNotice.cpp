#include "platform/win32/services/InternetSettingsNotice.h"

#include <windows.h>
#include <wininet.h>

#include "platform/win32/SystemError.h"
#include "platform/win32/SystemLibrary.h"

namespace tovask::win32 {

std::error_code announceInternetSettingsChanged() {
    const auto wininet = loadSystemLibrary(L"wininet.dll");
    if (!wininet.ok()) {
        return wininet.error();
    }
    using SetOption = BOOL(WINAPI*)(HINTERNET, DWORD, LPVOID, DWORD);
    const auto setOption = findExport<SetOption>(wininet.value(), "InternetSetOptionW");
    if (setOption == nullptr) {
        return lastError();
    }
    // In this order: the settings are marked changed, then read again.
    if (!setOption(nullptr, INTERNET_OPTION_SETTINGS_CHANGED, nullptr, 0)) {
        return lastError();
    }
    if (!setOption(nullptr, INTERNET_OPTION_REFRESH, nullptr, 0)) {
        // Wine takes the notice but refuses the refresh without a handle.
        return GetLastError() == ERROR_INTERNET_INCORRECT_HANDLE_TYPE
                   ? std::make_error_code(std::errc::function_not_supported)
                   : lastError();
    }
    return {};
}

}  // namespace tovask::win32
