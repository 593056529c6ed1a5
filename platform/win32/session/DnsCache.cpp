#include "platform/win32/session/DnsCache.h"

#include <windows.h>

#include <string>

#include "platform/win32/Handles.h"
#include "platform/win32/SystemError.h"
#include "platform/win32/files/SystemFolders.h"

namespace tovask::win32 {
namespace {

constexpr const wchar_t* kDnsLibrary = L"dnsapi.dll";

// The library is looked for in the system folder only: a dnsapi.dll planted
// beside the program or in the current folder must never be loaded.
Result<LoadedLibrary> loadDnsLibrary() {
    LoadedLibrary library(LoadLibraryExW(kDnsLibrary, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    if (!library && GetLastError() == ERROR_INVALID_PARAMETER) {
        // Windows 7 without its loader update knows no search flags; a full
        // path gives the same guarantee there.
        const auto folder = systemFolder();
        if (!folder.ok()) {
            return folder.error();
        }
        const std::wstring fullPath = folder.value() + L"\\" + kDnsLibrary;
        library.reset(LoadLibraryExW(fullPath.c_str(), nullptr, 0));
    }
    if (!library) {
        return lastError();
    }
    return library;
}

}  // namespace

std::error_code flushDnsCache() {
    const auto library = loadDnsLibrary();
    if (!library.ok()) {
        return library.error();
    }
    using FlushResolverCache = BOOL(WINAPI*)();
    const FARPROC address = GetProcAddress(library.value().get(), "DnsFlushResolverCache");
    if (address == nullptr) {
        return lastError();
    }
    // Through the generic function pointer type, which converts to any other
    // without a warning about the signatures.
    const auto flush = reinterpret_cast<FlushResolverCache>(reinterpret_cast<void (*)()>(address));
    if (!flush()) {
        // The call documents no error code: a failure without one is still one.
        return lastError();
    }
    return {};
}

}  // namespace tovask::win32
