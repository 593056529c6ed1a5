#pragma once

#include <string>
#include <vector>

#include "tests/win32/QuietPlatform.h"
#include "tests/win32/TestFolder.h"

namespace tovask::testsupport {

// A Windows folder and a system folder inside it, each with an empty
// "drivers\etc", under a fresh temporary folder: where a repair run pointed
// at them keeps its HOSTS files and backups.
class HostsFolders {
    // First, so that it exists before the paths below are made from it.
    TestFolder root_;

  public:
    HostsFolders();

    void pointAt(QuietPlatform& platform) const;
    // Every file below the folders but the registry backup, sorted: shows
    // anything of the HOSTS handling left behind.
    std::vector<std::wstring> files() const;

    const std::wstring windows;
    const std::wstring system;
    const std::wstring systemHosts;
    const std::wstring systemBackup;
    const std::wstring windowsHosts;
    const std::wstring windowsBackup;
};

}  // namespace tovask::testsupport
