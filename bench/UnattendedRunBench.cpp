// An unattended repair, "Tovask.exe /repair", from process start to exit,
// against a program that ends as soon as it starts, interleaved so that both
// see the same machine.
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
    std::vector<double> repairs;
    std::vector<double> floors;
    for (int round = 0; round < kRounds; ++round) {
        double elapsed = 0;
        if (!timedRun(argv[1], L" /repair", elapsed)) {
            std::puts("unattended repair: a run did not end with exit code 0");
            return 1;
        }
        repairs.push_back(elapsed);
        if (!timedRun(argv[2], L"", elapsed)) {
            std::puts("unattended repair: the minimal program did not end with exit code 0");
            return 1;
        }
        floors.push_back(elapsed);
    }
    const double repair = median(repairs);
    const double floor = median(floors);
    std::printf(
        "unattended repair, start to exit (medians of %d rounds): Tovask /repair %.1f ms, "
        "minimal program %.1f ms; ratio %.2f\n",
        kRounds, repair, floor, repair / floor);
    return 0;
}
