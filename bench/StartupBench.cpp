// Start-up time of Tovask.exe against three floors, from process start until
// the window is idle with the focus in an edit box, interleaved so that all
// see the same machine: a minimal window program; the fair floor, the same
// window with the program's manifest creating one common control, as the
// program must load the common controls; and the fair floor holding bare
// system controls in the place of the program's, which tells how much of the
// program's time its windows alone cost. Then the program's peak working set
// after a repair run against that of the first two floors.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <windows.h>

// After windows.h, which it needs.
#include <psapi.h>

#include "bench/Statistics.h"
#include "platform/win32/ScopedHandle.h"

namespace {

using Handle = tovask::win32::ScopedHandle<HANDLE, CloseHandle>;
using tovask::bench::median;
using tovask::bench::middleHalf;
using tovask::bench::milliseconds;

constexpr int kRounds = 31;
constexpr DWORD kPatienceMilliseconds = 30'000;
constexpr DWORD kQuietSlice = 20;
constexpr DWORD kMostSettling = 2000;
constexpr double kQuiet = 0.1;

struct Started {
    Handle process;
    DWORD threadId = 0;
    HWND window = nullptr;
};

bool focusIsInEditBox(DWORD threadId) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    wchar_t className[16]{};
    return GetGUIThreadInfo(threadId, &info) && info.hwndFocus &&
           GetClassNameW(info.hwndFocus, className, 16) && lstrcmpiW(className, L"Edit") == 0;
}

// Starts the program and returns once it first waits for input, which the
// system signals (no asking over and over), with the focus in its edit box;
// with no window when it did not get there in time.
Started startAndWait(const std::wstring& program, std::chrono::nanoseconds& elapsed) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"\"" + program + L"\"";
    const auto start = std::chrono::steady_clock::now();
    Started started;
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info)) {
        return started;
    }
    started.process.reset(info.hProcess);
    Handle thread(info.hThread);
    started.threadId = info.dwThreadId;
    const bool idle = WaitForInputIdle(info.hProcess, kPatienceMilliseconds) == 0;
    elapsed = std::chrono::steady_clock::now() - start;
    GUITHREADINFO gui{};
    gui.cbSize = sizeof(gui);
    if (idle && focusIsInEditBox(info.dwThreadId) && GetGUIThreadInfo(info.dwThreadId, &gui)) {
        started.window = GetAncestor(gui.hwndFocus, GA_ROOT);
    }
    return started;
}

// The share of the processors' time spent busy since the last call.
class BusyShare {
  public:
    BusyShare() { sample(); }
    double sinceLast() {
        const auto [idle, total] = sample();
        const auto idleDelta = idle - lastIdle_;
        const auto totalDelta = total - lastTotal_;
        lastIdle_ = idle;
        lastTotal_ = total;
        return totalDelta == 0 ? 0 : 1.0 - static_cast<double>(idleDelta) / totalDelta;
    }

  private:
    static ULONGLONG value(const FILETIME& time) {
        return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    }
    std::pair<ULONGLONG, ULONGLONG> sample() {
        FILETIME idle{}, kernel{}, user{};
        GetSystemTimes(&idle, &kernel, &user);
        // Kernel time includes the idle time.
        return {value(idle), value(kernel) + value(user)};
    }

    ULONGLONG lastIdle_ = 0;
    ULONGLONG lastTotal_ = 0;
};

// Once the process has ended, Wine's server and the X server still tear
// down its windows and connection for a while: the next start waits until
// the processors have been quiet for a slice, so that no program is timed
// with its predecessor's exit.
void waitUntilQuiet() {
    BusyShare busy;
    for (DWORD waited = 0; waited < kMostSettling; waited += kQuietSlice) {
        Sleep(kQuietSlice);
        if (busy.sinceLast() < kQuiet) {
            return;
        }
    }
}

void closeProgram(Started& started) {
    if (started.window) {
        PostMessageW(started.window, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(started.process.get(), 10000) != WAIT_OBJECT_0) {
        TerminateProcess(started.process.get(), 1);
    }
    waitUntilQuiet();
}

HWND findMessageBox(DWORD processId) {
    HWND found = nullptr;
    for (HWND candidate = FindWindowW(L"#32770", nullptr); candidate;
         candidate = FindWindowExW(nullptr, candidate, L"#32770", nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(candidate, &owner);
        if (owner == processId && IsWindowVisible(candidate)) {
            found = candidate;
        }
    }
    return found;
}

double peakWorkingSetMegabytes(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(process, &counters, sizeof(counters))) {
        return 0;
    }
    return counters.PeakWorkingSetSize / (1024.0 * 1024.0);
}

// A floor of the memory figure: what Wine itself costs a window program.
double floorWorkingSet(const std::wstring& program) {
    std::chrono::nanoseconds ignored{};
    Started started = startAndWait(program, ignored);
    const double megabytes = peakWorkingSetMegabytes(started.process.get());
    closeProgram(started);
    return megabytes;
}

// Presses "Desbloquear IE", answers the closing message and returns the peak
// working set of the program, or 0 when it did not start.
double workingSetAfterRepair(const std::wstring& program) {
    std::chrono::nanoseconds ignored{};
    Started started = startAndWait(program, ignored);
    if (!started.window) {
        return 0;
    }
    HWND button = FindWindowExW(started.window, nullptr, L"Button", L"Desbloquear IE");
    PostMessageW(button, BM_CLICK, 0, 0);
    const DWORD processId = GetProcessId(started.process.get());
    HWND box = nullptr;
    const auto start = std::chrono::steady_clock::now();
    while (!box && std::chrono::steady_clock::now() - start <
                       std::chrono::milliseconds(kPatienceMilliseconds)) {
        Sleep(10);
        box = findMessageBox(processId);
    }
    if (box) {
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        Sleep(200);
    }
    const double megabytes = peakWorkingSetMegabytes(started.process.get());
    closeProgram(started);
    return box ? megabytes : 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    constexpr int kPrograms = 4;
    if (argc != kPrograms + 1) {
        std::puts(
            "usage: startup_bench <Tovask.exe> <minimal_window.exe> "
            "<minimal_window_controls.exe> <minimal_window_program_controls.exe>");
        return 2;
    }
    const std::wstring programs[kPrograms] = {argv[1], argv[2], argv[3], argv[4]};
    std::vector<double> samples[kPrograms];
    // Tovask's time over the fair floor's in the same round.
    std::vector<double> ratios;
    for (int round = 0; round < kRounds; ++round) {
        double roundTimes[kPrograms]{};
        for (int which = 0; which < kPrograms; ++which) {
            std::chrono::nanoseconds elapsed{};
            Started started = startAndWait(programs[which], elapsed);
            if (started.window) {
                roundTimes[which] = milliseconds(elapsed);
                samples[which].push_back(roundTimes[which]);
            }
            closeProgram(started);
        }
        if (roundTimes[0] > 0 && roundTimes[2] > 0) {
            ratios.push_back(roundTimes[0] / roundTimes[2]);
        }
    }
    for (const auto& programSamples : samples) {
        if (programSamples.empty()) {
            std::puts("start-up: a program never became idle with the focus in its edit box");
            return 1;
        }
    }
    const auto spread = [](const std::vector<double>& values) {
        const auto [low, high] = middleHalf(values);
        std::printf("%.1f ms (middle half %.1f to %.1f)", median(values), low, high);
    };
    std::printf("start-up, first idle with the focus in the edit box (%d rounds):\n", kRounds);
    const char* names[kPrograms] = {"Tovask", "minimal window", "fair floor (a common control)",
                                    "fair floor with bare system controls"};
    for (int which = 0; which < kPrograms; ++which) {
        std::printf("  %s: ", names[which]);
        spread(samples[which]);
        std::printf("\n");
    }
    const double program = median(samples[0]);
    const double fairFloor = median(samples[2]);
    const auto [lowRatio, highRatio] = middleHalf(ratios);
    std::printf(
        "  Tovask %.1f ms against the fair floor %.1f ms: ratio %.2f (the same round's ratio: "
        "median %.2f, middle half %.2f to %.2f; goal at most 1.10)\n",
        program, fairFloor, program / fairFloor, median(ratios), lowRatio, highRatio);
    const double programMemory = workingSetAfterRepair(programs[0]);
    const double floorMemory = floorWorkingSet(programs[1]);
    const double fairFloorMemory = floorWorkingSet(programs[2]);
    if (programMemory == 0) {
        std::puts("peak working set: the program did not finish a repair run");
        return 1;
    }
    std::printf(
        "peak working set after a repair run: %.1f MB; minimal window %.1f MB, with a common "
        "control %.1f MB; %.1f MB above the fair floor\n",
        programMemory, floorMemory, fairFloorMemory, programMemory - fairFloorMemory);
    return 0;
}
