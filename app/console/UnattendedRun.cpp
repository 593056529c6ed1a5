#include "app/console/UnattendedRun.h"

#include <windows.h>

#include <string>
#include <vector>

#include "app/console/ConsoleReport.h"
#include "app/console/LogFile.h"
#include "repair/commandline/CommandLineTexts.h"
#include "repair/commandline/RunJson.h"
#include "repair/report/RecordingView.h"
#include "repair/run/BrowserRepair.h"
#include "repair/texts/ProgramTexts.h"
#include "text/CommandLineWords.h"
#include "text/Utf8.h"

namespace tovask::app {
namespace {

constexpr std::wstring_view kSystemAccount = L"S-1-5-18";

// Nobody is there to dismiss a message box: the report is the progress list,
// then the lines of the notice that closed the run.
std::vector<std::wstring> reportLinesOf(const RecordingView& view) {
    auto lines = view.lines;
    for (const auto& notice : view.notices) {
        lines.insert(lines.end(), notice.lines.begin(), notice.lines.end());
    }
    return lines;
}

RunOutcome carryOut(BrowserRepair& repair, const UnattendedRequest& asked,
                    const RunRequest& request) {
    switch (asked.command) {
        case UnattendedCommand::Check:
            return repair.checkWhatNeedsRepair(request);
        case UnattendedCommand::Undo:
            return asked.runId ? repair.undoRun(*asked.runId) : repair.undoChanges();
        case UnattendedCommand::Runs:
            return repair.listRuns();
        case UnattendedCommand::Repair:
        case UnattendedCommand::Usage:
            break;
    }
    return repair.VerificarNavegador(texts::kBrowserWindowClass, request);
}

bool runsAsSystem(PlatformOps& platform) {
    const auto user = platform.ProgramUserSid();
    return user.ok() && user.value() == kSystemAccount;
}

ExitCode run(PlatformOps& platform, const UnattendedRequest& request, bool everyUser,
             RecordingView& report) {
    const auto elevated = platform.IsElevated();
    if (!elevated.ok() || !elevated.value()) {
        report.appendLine(texts::kNotElevated);
        return ExitCode::CannotRun;
    }
    // Nobody is there to answer: the kinds' switches answer for the script,
    // and only their kinds are offered, every finding of them.
    BrowserRepair repair(platform, report, everyOffered);
    repair.loadPaths();
    // A script keeps the person's own HOSTS entries unless it asks for the reset.
    const RunRequest runRequest{
        request.startPage.value_or(L""), everyUser, request.kinds, request.allowFile.value_or(L""),
        request.resetHosts ? HostsRepair::Reset : HostsRepair::RemoveCountingEntries};
    return exitCodeOf(carryOut(repair, request, runRequest));
}

// The run as one JSON document, on standard output or as the log's next line.
int writeJson(ConsoleReport& console, PlatformOps& platform, const UnattendedRequest& request,
              bool everyUser, ExitCode code, const RunRecord& record,
              std::span<const std::wstring> lines) {
    const auto arguments = commandArguments();
    const auto document =
        runJson({request.command, arguments, computerName(), everyUser, code, record, lines});
    if (!request.logFile) {
        console.writeLine(wideFromUtf8(document));
        return static_cast<int>(code);
    }
    const auto error = appendLogDocument(*request.logFile, document);
    if (error) {
        console.writeLine(std::wstring(texts::kLogNotWritablePrefix) + *request.logFile + L" (" +
                          platform.DescribeError(error) + L")");
    }
    return static_cast<int>(exitCodeAfterLog(code, !error));
}

}  // namespace

int runUnattended(PlatformOps& platform,
                  const std::variant<UnattendedRequest, CommandLineMistake>& parsed) {
    ConsoleReport console;
    if (const auto* mistake = std::get_if<CommandLineMistake>(&parsed)) {
        console.writeLine(mistake->message);
        return static_cast<int>(ExitCode::BadCommandLine);
    }
    const auto& request = std::get<UnattendedRequest>(parsed);
    if (request.command == UnattendedCommand::Usage) {
        console.writeLine(usageText());
        return static_cast<int>(ExitCode::Done);
    }
    // The log is tried before anything changes, so that a run is never left
    // without its record.
    if (request.logFile) {
        if (const auto error = checkLogFile(*request.logFile)) {
            console.writeLine(std::wstring(texts::kLogNotWritablePrefix) + *request.logFile +
                              L" (" + platform.DescribeError(error) + L")");
            return static_cast<int>(ExitCode::CannotRun);
        }
    }
    RecordingView report;
    // As SYSTEM (a deployment tool) there is no one user to act for.
    const bool everyUser = request.allUsers || runsAsSystem(platform);
    auto code = run(platform, request, everyUser, report);
    const auto lines = reportLinesOf(report);
    if (request.json) {
        return writeJson(console, platform, request, everyUser, code, report.record, lines);
    }
    for (const auto& line : lines) {
        console.writeLine(line);
    }
    if (request.logFile) {
        // The block ends with the code the run exits with once it is written.
        auto logged = lines;
        logged.push_back(logBlockExitLine(code));
        const auto error = appendLogBlock(*request.logFile, logBlockRun(GetCommandLineW()), logged);
        if (error) {
            console.writeLine(std::wstring(texts::kLogNotWritablePrefix) + *request.logFile +
                              L" (" + platform.DescribeError(error) + L")");
        }
        code = exitCodeAfterLog(code, !error);
    }
    return static_cast<int>(code);
}

std::vector<std::wstring> commandArguments() {
    return argumentsAfterProgram(GetCommandLineW());
}

}  // namespace tovask::app
