#pragma once

#include <windows.h>

#include "platform/win32/Handles.h"
#include "values/Result.h"

namespace tovask::win32 {

// A library of the system, looked for in the system folder only: one of the
// same name planted beside the program or in the current folder is never
// loaded.
Result<LoadedLibrary> loadSystemLibrary(const wchar_t* name);

// The address of an export as a function pointer of the given type, or null
// when the library lacks it (an older Windows, or Wine).
template <typename Function>
Function findExport(HMODULE module, const char* name) {
    const FARPROC address = GetProcAddress(module, name);
    // Through the generic function pointer type, which converts to any other
    // without a warning about the signatures.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

template <typename Function>
Function findExport(const LoadedLibrary& library, const char* name) {
    return findExport<Function>(library.get(), name);
}

}  // namespace tovask::win32
