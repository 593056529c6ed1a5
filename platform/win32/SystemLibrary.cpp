#include "platform/win32/SystemLibrary.h"

#include <string>

#include "platform/win32/SystemError.h"
#include "platform/win32/files/SystemFolders.h"

namespace tovask::win32 {

Result<LoadedLibrary> loadSystemLibrary(const wchar_t* name) {
    LoadedLibrary library(LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    if (!library && GetLastError() == ERROR_INVALID_PARAMETER) {
        // Windows 7 without its loader update knows no search flags; a full
        // path gives the same guarantee there.
        const auto folder = systemFolder();
        if (!folder.ok()) {
            return folder.error();
        }
        const std::wstring fullPath = folder.value() + L"\\" + name;
        library.reset(LoadLibraryExW(fullPath.c_str(), nullptr, 0));
    }
    if (!library) {
        return lastError();
    }
    return library;
}

}  // namespace tovask::win32
