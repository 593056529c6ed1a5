#include "platform/win32/session/ProcessLaunch.h"

#include <windows.h>

#include <string>

#include "platform/win32/Handles.h"
#include "platform/win32/SystemError.h"
#include "platform/win32/files/SystemFolders.h"

namespace tovask::win32 {

std::error_code launchSystemProgram(std::wstring_view program, std::wstring_view argument,
                                    int showCommand) {
    // The program runs elevated. Left to the system's search, a bare name would
    // first find a file of that name in our own folder (a download folder,
    // typically) and run it as administrator; the full path of the Windows
    // folder's own program leaves nothing to search.
    if (program.empty() || program.find_first_of(L"\\/:") != std::wstring_view::npos) {
        return std::make_error_code(std::errc::invalid_argument);
    }
    const auto folder = windowsFolder();
    if (!folder.ok()) {
        return folder.error();
    }
    const std::wstring applicationPath = folder.value() + L'\\' + std::wstring(program);
    // CreateProcessW may write into the command line, so it gets its own copy.
    std::wstring commandLine = std::wstring(program) + L' ' + std::wstring(argument);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showCommand);
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(applicationPath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &startup, &started)) {
        return lastError();
    }
    // Nobody waits for the program: both handles are released at once.
    const KernelHandle process(started.hProcess);
    const KernelHandle thread(started.hThread);
    return {};
}

}  // namespace tovask::win32
