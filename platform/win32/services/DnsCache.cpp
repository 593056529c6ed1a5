#include "platform/win32/services/DnsCache.h"

#include <windows.h>

#include "platform/win32/SystemError.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/files/SystemFolders.h"

namespace tovask::win32 {

std::error_code flushDnsCache() {
    const auto library = loadSystemLibrary(L"dnsapi.dll");
    if (!library.ok()) {
        return library.error();
    }
    using FlushResolverCache = BOOL(WINAPI*)();
    const auto flush = findExport<FlushResolverCache>(library.value(), "DnsFlushResolverCache");
    if (flush == nullptr) {
        return lastError();
    }
    if (!flush()) {
        // The call documents no error code: a failure without one is still one.
        return lastError();
    }
    return {};
}

}  // namespace tovask::win32
