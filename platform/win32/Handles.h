#pragma once

#include <windows.h>

#include "platform/win32/ScopedHandle.h"

namespace tovask::win32 {

using RegistryKey = ScopedHandle<HKEY, &RegCloseKey>;
// A file, process or thread. "None" is nullptr, so a failed CreateFileW
// (INVALID_HANDLE_VALUE) is turned into an error and never stored here.
using KernelHandle = ScopedHandle<HANDLE, &CloseHandle>;
// Memory that the system allocated for us, such as FormatMessageW's text.
using LocalMemory = ScopedHandle<HLOCAL, &LocalFree>;
// A library loaded at run time, so that the program does not need it to start.
using LoadedLibrary = ScopedHandle<HMODULE, &FreeLibrary>;

}  // namespace tovask::win32
