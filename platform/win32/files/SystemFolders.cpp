#include "platform/win32/files/SystemFolders.h"

#include <windows.h>

#include "platform/win32/SystemError.h"

namespace tovask::win32 {
namespace {

// Both calls return the length without the null when the buffer was large
// enough, and the size needed with the null when it was not.
template <typename FolderQuery>
Result<std::wstring> folderFrom(FolderQuery query) {
    std::wstring folder(MAX_PATH, L'\0');
    for (;;) {
        const UINT length = query(folder.data(), static_cast<UINT>(folder.size()));
        if (length == 0) {
            return lastError();
        }
        if (length < folder.size()) {
            folder.resize(length);
            break;
        }
        folder.resize(length);
    }
    if (folder.ends_with(L'\\')) {
        folder.pop_back();
    }
    return folder;
}

}  // namespace

Result<std::wstring> windowsFolder() {
    return folderFrom(GetWindowsDirectoryW);
}

Result<std::wstring> systemFolder() {
    return folderFrom(GetSystemDirectoryW);
}

}  // namespace tovask::win32
