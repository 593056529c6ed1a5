#include "tests/win32/HostsFolders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace tovask::testsupport {

HostsFolders::HostsFolders()
    : windows(root_.path(L"Windows")),
      system(windows + L"\\System32"),
      systemHosts(system + L"\\drivers\\etc\\hosts"),
      systemBackup(system + L"\\drivers\\etc\\BackupHosts.bak"),
      windowsHosts(windows + L"\\drivers\\etc\\hosts"),
      windowsBackup(windows + L"\\BackupHosts.bak") {
    for (const auto& folder : {system, windows}) {
        EXPECT_TRUE(std::filesystem::create_directories(folder + L"\\drivers\\etc"));
    }
}

void HostsFolders::pointAt(QuietPlatform& platform) const {
    platform.windowsFolder = windows;
    platform.systemFolder = system;
}

std::vector<std::wstring> HostsFolders::files() const {
    std::vector<std::wstring> found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(windows)) {
        // Each run's own set of backups is listed by /runs, not here.
        if (!entry.is_directory() && entry.path().filename() != L"BackupRegistro.reg" &&
            entry.path().wstring().find(L"\\TovaskEjecuciones\\") == std::wstring::npos) {
            found.push_back(entry.path().wstring());
        }
    }
    std::ranges::sort(found);
    return found;
}

}  // namespace tovask::testsupport
