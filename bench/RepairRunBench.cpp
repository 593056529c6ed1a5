// Times the repair run and the undo on the real registry and real HOSTS files
// of the Wine prefix, and each kind of platform operation within them.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <windows.h>

#include "bench/Statistics.h"
#include "bench/TimingPlatform.h"
#include "platform/win32/Win32Platform.h"
#include "repair/report/RecordingView.h"
#include "repair/run/BrowserRepair.h"
#include "repair/texts/ProgramTexts.h"

namespace {

constexpr int kRuns = 20;

using tovask::bench::median;
using tovask::bench::milliseconds;

// Both HOSTS files present, so the run backs up and rewrites two pairs.
void prepareHostsFiles(tovask::PlatformOps& platform, const tovask::HostsPaths& paths) {
    for (const auto& hosts : {paths.strHosts, paths.strHostsWin}) {
        platform.ReplaceFileContent(hosts, "127.0.0.1 localhost\r\n10.0.0.1 elsewhere.example\r\n",
                                    tovask::FileProtection::AsReplaced);
    }
}

template <typename Action>
double timedMilliseconds(Action action) {
    const auto start = std::chrono::steady_clock::now();
    action();
    return milliseconds(std::chrono::steady_clock::now() - start);
}

// The backup's size, and what reading the registry for it costs a run.
void printRegistryBackupFigures(const tovask::bench::TimingPlatform& platform,
                                const std::wstring& backupFile) {
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    GetFileAttributesExW(backupFile.c_str(), GetFileExInfoStandard, &attributes);
    double readMilliseconds = 0;
    for (const char* read : {"RegReadValue", "RegReadTree", "RegKeyExists"}) {
        if (const auto found = platform.tallies.find(read); found != platform.tallies.end()) {
            readMilliseconds += milliseconds(found->second.total);
        }
    }
    std::printf("registry backup: %lu bytes; reading the registry for it %.2f ms per run\n",
                attributes.nFileSizeLow, readMilliseconds / kRuns);
}

}  // namespace

int main() {
    tovask::Win32Platform real;
    tovask::bench::TimingPlatform platform(real);
    tovask::RecordingView view;
    tovask::BrowserRepair repair(platform, view, [](const tovask::FindingsOffer&) {
        return std::vector<tovask::FindingId>{};
    });
    repair.loadPaths();
    if (!repair.paths().ok()) {
        std::puts("the Windows folders could not be found");
        return 1;
    }
    const auto& paths = repair.paths().value();
    CreateDirectoryW((paths.strWindows + L"\\drivers").c_str(), nullptr);
    CreateDirectoryW((paths.strWindows + L"\\drivers\\etc").c_str(), nullptr);

    std::vector<double> runs;
    std::vector<double> undos;
    std::size_t reportLines = 0;
    for (int i = 0; i < kRuns; ++i) {
        prepareHostsFiles(platform, paths);
        runs.push_back(timedMilliseconds(
            [&] { repair.VerificarNavegador(tovask::texts::kBrowserWindowClass, {}); }));
        reportLines = view.lines.size();
        undos.push_back(timedMilliseconds([&] { repair.undoChanges(); }));
    }
    std::printf("repair run: median %.2f ms over %d runs (%zu report lines)\n", median(runs), kRuns,
                reportLines);
    std::printf("undo:       median %.2f ms over %d runs\n", median(undos), kRuns);
    printRegistryBackupFigures(platform, paths.registryBackupFile);
    for (const auto& [name, tally] : platform.tallies) {
        std::printf("  %-18s %6d calls, %.3f ms per call\n", name.c_str(), tally.calls,
                    milliseconds(tally.total) / tally.calls);
    }
    return 0;
}
