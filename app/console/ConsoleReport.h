#pragma once

#include <windows.h>

#include <string_view>

#include "platform/win32/Handles.h"

namespace tovask::app {

// Where an unattended run writes its report for the one who started it: the
// output file or pipe it was given, or else the console it was started from.
// Writes nothing when there is neither, as when started by a double click.
class ConsoleReport {
  public:
    ConsoleReport();
    ConsoleReport(const ConsoleReport&) = delete;
    ConsoleReport& operator=(const ConsoleReport&) = delete;
    ~ConsoleReport();

    // The text may hold several lines joined with "\n"; each is ended with CR LF.
    // A closed pipe or console loses the text; the exit code and the log still
    // tell the outcome.
    void writeLine(std::wstring_view text);

  private:
    enum class Target { Nothing, Console, Redirected };

    Target target_ = Target::Nothing;
    // The redirected output belongs to the process; the console is ours.
    HANDLE output_ = nullptr;
    win32::KernelHandle console_;
};

}  // namespace tovask::app
