#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/PlatformOps.h"
#include "repair/backup/RegistryFile.h"
#include "repair/report/FailureLog.h"
#include "repair/report/Finding.h"
#include "values/RegistryValue.h"

namespace tovask {

// A `Debugger` value under Image File Execution Options for a browser's
// program: Windows starts the program it names, with the browser's command
// line, every time the browser starts.
struct BrowserDebugger {
    std::wstring keyPath;  // "HKLM\...\Image File Execution Options\chrome.exe\"
    RegistryView view;
    RegistryValue value;
    Finding finding;
};

// The browsers' programs that a debugger value may take over.
bool isBrowserProgramName(std::wstring_view name);

// Each browser program's debugger in both views of HKLM; a key that cannot
// be read is a failure, a missing one holds none. None is repairable on a
// managed machine.
std::vector<BrowserDebugger> findBrowserDebuggers(PlatformOps& platform, bool managedMachine,
                                                  FailureLog& failures);

// The section that puts the value back.
RegistryFileSection backupSectionFor(const BrowserDebugger& debugger);

// True when the value is gone; a failure is logged.
bool removeDebugger(PlatformOps& platform, const BrowserDebugger& debugger, FailureLog& failures);

// Whether a backup section puts back only the debugger of a browser program.
bool withinDebuggerReach(const RegistryFileSection& section, bool hasTwoViews);

}  // namespace tovask
