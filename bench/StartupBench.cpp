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
using tovask::bench::milliseconds;

constexpr int kRounds = 20;
constexpr auto kPatience = std::chrono::seconds(30);
constexpr DWORD kSettling = 300;

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

// Starts the program and returns once it waits for input with the focus in
// its edit box, or with no window when it did not get there in time.
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
    while (std::chrono::steady_clock::now() - start < kPatience) {
        if (WaitForInputIdle(info.hProcess, 0) == 0 && focusIsInEditBox(info.dwThreadId)) {
            GUITHREADINFO gui{};
            gui.cbSize = sizeof(gui);
            GetGUIThreadInfo(info.dwThreadId, &gui);
            started.window = GetAncestor(gui.hwndFocus, GA_ROOT);
            break;
        }
        Sleep(1);
    }
    elapsed = std::chrono::steady_clock::now() - start;
    return started;
}

// Once the process has ended, Wine's server and the X server still tear
// down its windows and connection for a while: the next start waits for a
// quiet machine, so that no program is timed with its predecessor's exit.
void closeProgram(Started& started) {
    if (started.window) {
        PostMessageW(started.window, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(started.process.get(), 10000) != WAIT_OBJECT_0) {
        TerminateProcess(started.process.get(), 1);
    }
    Sleep(kSettling);
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
    while (!box && std::chrono::steady_clock::now() - start < kPatience) {
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
    for (int round = 0; round < kRounds; ++round) {
        for (int which = 0; which < kPrograms; ++which) {
            std::chrono::nanoseconds elapsed{};
            Started started = startAndWait(programs[which], elapsed);
            if (started.window) {
                samples[which].push_back(milliseconds(elapsed));
            }
            closeProgram(started);
        }
    }
    for (const auto& programSamples : samples) {
        if (programSamples.empty()) {
            std::puts("start-up: a program never became idle with the focus in its edit box");
            return 1;
        }
    }
    const double program = median(samples[0]);
    const double floor = median(samples[1]);
    const double fairFloor = median(samples[2]);
    const double sameControls = median(samples[3]);
    std::printf(
        "start-up (medians of %d rounds): Tovask %.1f ms, minimal window %.1f ms, with a "
        "common control %.1f ms; ratio %.2f to the minimal window, %.2f to the fair floor\n",
        kRounds, program, floor, fairFloor, program / floor, program / fairFloor);
    std::printf(
        "the fair floor with bare system controls in the place of the program's: %.1f ms "
        "(%.2f times the fair floor); Tovask is %.2f times it\n",
        sameControls, sameControls / fairFloor, program / sameControls);
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
