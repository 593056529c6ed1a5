// Start-up time of Tovask.exe against a minimal window program, from process
// start until the window is idle with the focus in an edit box, interleaved so
// that both see the same machine; then the program's peak working set after a
// repair run.
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

void closeProgram(Started& started) {
    if (started.window) {
        PostMessageW(started.window, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(started.process.get(), 10000) != WAIT_OBJECT_0) {
        TerminateProcess(started.process.get(), 1);
    }
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

// The floor of the memory figure: what Wine itself costs a window program.
void reportFloorWorkingSet(const std::wstring& program) {
    std::chrono::nanoseconds ignored{};
    Started started = startAndWait(program, ignored);
    std::printf("peak working set of the minimal window: %.1f MB\n",
                peakWorkingSetMegabytes(started.process.get()));
    closeProgram(started);
}

// Presses "Desbloquear IE", answers the closing message and reads the peak
// working set of the program.
void reportPeakWorkingSet(const std::wstring& program) {
    std::chrono::nanoseconds ignored{};
    Started started = startAndWait(program, ignored);
    if (!started.window) {
        std::puts("peak working set: the program did not start");
        return;
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
    std::printf("peak working set after a repair run: %.1f MB (message box %s)\n",
                peakWorkingSetMegabytes(started.process.get()), box ? "answered" : "not seen");
    closeProgram(started);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::puts("usage: startup_bench <Tovask.exe> <minimal_window.exe>");
        return 2;
    }
    const std::wstring programs[] = {argv[1], argv[2]};
    std::vector<double> samples[2];
    for (int round = 0; round < kRounds; ++round) {
        for (int which = 0; which < 2; ++which) {
            std::chrono::nanoseconds elapsed{};
            Started started = startAndWait(programs[which], elapsed);
            if (started.window) {
                samples[which].push_back(milliseconds(elapsed));
            }
            closeProgram(started);
        }
    }
    if (samples[0].empty() || samples[1].empty()) {
        std::puts("start-up: a program never became idle with the focus in its edit box");
        return 1;
    }
    const double program = median(samples[0]);
    const double floor = median(samples[1]);
    std::printf(
        "start-up: Tovask %.1f ms, minimal window %.1f ms (medians of %zu and %zu runs), "
        "ratio %.2f\n",
        program, floor, samples[0].size(), samples[1].size(), program / floor);
    reportPeakWorkingSet(programs[0]);
    reportFloorWorkingSet(programs[1]);
    return 0;
}
