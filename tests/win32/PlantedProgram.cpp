// Stands for a file planted beside our program under the name of a system
// program: if it is ever started, it leaves a marker file beside itself.
#include <windows.h>

#include <string>

#include "platform/win32/Handles.h"

int main() {
    wchar_t ownPath[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, ownPath, MAX_PATH);
    const std::wstring marker = std::wstring(ownPath, length) + L".ran";
    const HANDLE created = CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created == INVALID_HANDLE_VALUE) {
        return 1;
    }
    const tovask::win32::KernelHandle file(created);
    return 0;
}
