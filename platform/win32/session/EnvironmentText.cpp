#include "platform/win32/session/EnvironmentText.h"

#include <windows.h>

#include "platform/win32/SystemError.h"

namespace tovask::win32 {

Result<std::wstring> expandEnvironment(std::wstring_view text) {
    const std::wstring source(text);
    std::wstring expanded(source.size() + MAX_PATH, L'\0');
    for (;;) {
        // The size counts the null, both the one given and the one returned.
        const DWORD needed = ExpandEnvironmentStringsW(source.c_str(), expanded.data(),
                                                       static_cast<DWORD>(expanded.size() + 1));
        if (needed == 0) {
            return lastError();
        }
        if (needed <= expanded.size() + 1) {
            expanded.resize(needed - 1);
            return expanded;
        }
        // A variable may have grown since the last call: ask again.
        expanded.resize(needed - 1);
    }
}

}  // namespace tovask::win32
