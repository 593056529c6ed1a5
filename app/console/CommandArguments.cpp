#include "app/console/CommandArguments.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>

#include "platform/win32/Handles.h"

namespace tovask::app {

std::vector<std::wstring> commandArguments() {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    // Only a lack of memory makes the split fail; the window then opens as
    // it does without arguments.
    if (!arguments) {
        return {};
    }
    const win32::LocalMemory owner(arguments);
    return std::vector<std::wstring>(arguments + std::min(count, 1), arguments + count);
}

}  // namespace tovask::app
