#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/Handles.h"
#include "tests/win32/TestFolder.h"

namespace tovask::testsupport {

// The built program started with arguments and no window of ours, its
// standard output redirected to a file of its own, as a script would.
class ProgramRun {
  public:
    static constexpr int kNoExitCode = -1;

    ProgramRun(std::wstring_view arguments, std::wstring outputPath);
    // A run the test did not wait for must not hold the repair lock for the
    // next test.
    ~ProgramRun();

    // The exit code once it ends; kNoExitCode when it never started, or did
    // not end in time and was ended by force.
    int finish();
    // Its standard output, line by line without the CR LF ends, in UTF-8 as
    // written.
    std::vector<std::string> outputLines() const;

  private:
    std::wstring outputPath_;
    win32::KernelHandle process_;
};

// The program run once after another, as a script runs it, each run's output
// in a file of its own in the folder.
class ProgramRuns {
  public:
    explicit ProgramRuns(const TestFolder& folder) : folder_(folder) {}

    // The exit code; lines() then holds that run's output.
    int operator()(std::wstring_view arguments);
    const std::vector<std::string>& lines() const { return lines_; }

  private:
    const TestFolder& folder_;
    int runs_ = 0;
    std::vector<std::string> lines_;
};

// The lines of a text whose lines each end in CR LF.
std::vector<std::string> crLfLines(const std::string& text);

}  // namespace tovask::testsupport
