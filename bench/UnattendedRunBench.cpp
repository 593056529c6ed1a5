// An unattended repair, "Tovask.exe /repair", from process start to exit,
// against a program that ends as soon as it starts, interleaved so that all
// see the same machine; with where its time goes: the program's start alone
// ("/?", which prints the usage), and the check that a repair also makes
// ("/check").
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <windows.h>

#include "bench/Statistics.h"
#include "platform/win32/Handles.h"

namespace {

using tovask::bench::median;
using tovask::bench::milliseconds;
using tovask::win32::KernelHandle;

constexpr int kRounds = 20;
constexpr DWORD kPatienceMilliseconds = 60'000;

// Its standard output goes to NUL, as a script that keeps only the exit code
// would have it; the report is still written, as it is to any file.
bool timedRun(const std::wstring& program, const wchar_t* arguments, double& elapsed) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    const KernelHandle nowhere(CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inheritable,
                                           OPEN_EXISTING, 0, nullptr));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = nowhere.get();
    startup.hStdError = nowhere.get();
    std::wstring commandLine = L"\"" + program + L"\"" + arguments;
    PROCESS_INFORMATION info{};
    const auto start = std::chrono::steady_clock::now();
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        nullptr, &startup, &info)) {
        return false;
    }
    const KernelHandle process(info.hProcess);
    const KernelHandle thread(info.hThread);
    if (WaitForSingleObject(process.get(), kPatienceMilliseconds) != WAIT_OBJECT_0) {
        TerminateProcess(process.get(), 1);
        return false;
    }
    elapsed = milliseconds(std::chrono::steady_clock::now() - start);
    DWORD code = 1;
    return GetExitCodeProcess(process.get(), &code) && code == 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::puts("usage: unattended_run_bench <Tovask.exe> <minimal_exit.exe>");
        return 2;
    }
    struct Timed {
        const wchar_t* program;
        const wchar_t* arguments;
        const char* name;
        std::vector<double> runs;
    };
    Timed timed[] = {{argv[1], L" /repair", "Tovask /repair", {}},
                     {argv[1], L" /check", "Tovask /check", {}},
                     {argv[1], L" /?", "Tovask /? (start and usage)", {}},
                     {argv[2], L"", "minimal program", {}}};
    for (int round = 0; round < kRounds; ++round) {
        for (auto& run : timed) {
            double elapsed = 0;
            if (!timedRun(run.program, run.arguments, elapsed)) {
                std::printf("unattended repair: %s did not end with exit code 0\n", run.name);
                return 1;
            }
            run.runs.push_back(elapsed);
        }
    }
    const double floor = median(timed[3].runs);
    std::printf("unattended repair, start to exit (medians of %d rounds):\n", kRounds);
    for (const auto& run : timed) {
        std::printf("  %s %.1f ms, %.2f times the minimal program\n", run.name, median(run.runs),
                    median(run.runs) / floor);
    }
    std::printf("  ratio of /repair to the minimal program %.2f (goal at most 3.00)\n",
                median(timed[0].runs) / floor);
    return 0;
}
