#include "tests/ui/ProgramRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "tests/ui/ProgramPath.h"
#include "tests/win32/TestFolder.h"

namespace tovask::testsupport {
namespace {

// Generous: a run may wait up to 30 s for another one's repair lock, and the
// first start in a fresh Wine prefix is slow.
constexpr DWORD kPatienceMilliseconds = 90'000;

}  // namespace

ProgramRun::ProgramRun(std::wstring_view arguments, std::wstring outputPath)
    : outputPath_(std::move(outputPath)) {
    forgetEarlierRunSets();
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    const HANDLE output =
        CreateFileW(outputPath_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    &inheritable, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (output == INVALID_HANDLE_VALUE) {
        ADD_FAILURE() << "cannot create the output file: " << GetLastError();
        return;
    }
    // Ours is closed once the program holds its own copy, so that a run
    // started next inherits nothing of this one.
    const win32::KernelHandle ownOutput(output);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = output;
    std::wstring commandLine = L"\"" + programPath() + L"\" " + std::wstring(arguments);
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                        nullptr, nullptr, &startup, &started)) {
        ADD_FAILURE() << "cannot start the program: " << GetLastError();
        return;
    }
    process_.reset(started.hProcess);
    const win32::KernelHandle thread(started.hThread);
}

ProgramRun::~ProgramRun() {
    if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.get(), 1);
    }
}

int ProgramRun::finish() {
    if (!process_) {
        return kNoExitCode;
    }
    if (WaitForSingleObject(process_.get(), kPatienceMilliseconds) != WAIT_OBJECT_0) {
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), INFINITE);
        return kNoExitCode;
    }
    DWORD code = 0;
    GetExitCodeProcess(process_.get(), &code);
    return static_cast<int>(code);
}

std::vector<std::string> ProgramRun::outputLines() const {
    return crLfLines(readBytes(outputPath_));
}

std::vector<std::string> crLfLines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const auto end = std::min(text.find("\r\n", start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

int ProgramRuns::operator()(std::wstring_view arguments) {
    ProgramRun program(arguments, folder_.path(L"salida" + std::to_wstring(++runs_) + L".txt"));
    const int code = program.finish();
    lines_ = program.outputLines();
    return code;
}

}  // namespace tovask::testsupport
