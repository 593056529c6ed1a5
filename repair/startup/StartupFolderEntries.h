#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PlatformOps.h"
#include "repair/backup/files/FileBackup.h"
#include "repair/paths/ShortcutFolders.h"
#include "repair/report/FailureLog.h"
#include "repair/report/Finding.h"
#include "repair/startup/ServedHijacks.h"

namespace tovask {

// A file in a Startup folder whose start puts a hijack back.
struct StartupFile {
    std::wstring path;
    Finding finding;
};

// The files directly in each covered user's Startup folder and the common
// one: a shortcut judged by its target and arguments as the shell reads them,
// an Internet shortcut (.url) by its address (a web address is a finding, a
// file: address is judged as the program it names), any other file by what
// starting it runs (a script where users write), or by what it serves. A
// folder off this machine's disks is a failure and is not opened.
std::vector<StartupFile> findStartupFiles(PlatformOps& platform,
                                          std::span<const std::wstring> userHives,
                                          UserFoldersOfThisRun& userFolders, bool managedMachine,
                                          const ServedHijacks& served, FailureLog& failures);

}  // namespace tovask
