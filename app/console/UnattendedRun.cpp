#include "app/console/UnattendedRun.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/console/ConsoleReport.h"
#include "app/console/LogFile.h"
#include "platform/ForwardingPlatform.h"
#include "platform/win32/Handles.h"
#include "repair/commandline/CommandLineTexts.h"
#include "repair/run/BrowserRepair.h"
#include "repair/run/ProgressView.h"
#include "repair/texts/ProgramTexts.h"

namespace tovask::app {
namespace {

constexpr std::wstring_view kSystemAccount = L"S-1-5-18";

// The progress list as report lines, and the start page asked for.
class ReportLines final : public ProgressView {
  public:
    ReportLines(std::wstring startPage, bool browsers, bool network, bool shortcuts)
        : startPage_(std::move(startPage)),
          browsers_(browsers),
          network_(network),
          shortcuts_(shortcuts) {}

    void clearList() override { lines.clear(); }
    void appendLine(std::wstring_view line) override { lines.emplace_back(line); }
    std::wstring startPage() const override { return startPage_; }
    void setStartPage(std::wstring_view) override {}
    // Nobody is there to answer: /browsers, /network and /shortcuts answer
    // for the script, and only their kinds are asked about.
    bool askToRepairFindings(const std::vector<std::wstring>&) override {
        return browsers_ || network_ || shortcuts_;
    }
    bool offersRepairOf(FindingKind kind) const override {
        switch (kind) {
            case FindingKind::BrowserPolicy:
                return browsers_;
            case FindingKind::Network:
                return network_;
            case FindingKind::Shortcut:
                break;
        }
        return shortcuts_;
    }

    std::vector<std::wstring> lines;

  private:
    std::wstring startPage_;
    bool browsers_;
    bool network_;
    bool shortcuts_;
};

// Nobody is there to dismiss a message box: what it would say becomes lines
// of the report.
class ReportingPlatform final : public ForwardingPlatform {
  public:
    ReportingPlatform(PlatformOps& next, ReportLines& report)
        : ForwardingPlatform(next), report_(report) {}

    std::error_code ShowMessage(std::wstring_view prompt, MessageStyle,
                                std::wstring_view) override {
        for (std::size_t start = 0; start <= prompt.size();) {
            const auto end = std::min(prompt.find(L"\r\n", start), prompt.size());
            report_.appendLine(prompt.substr(start, end - start));
            start = end + 2;
        }
        return {};
    }

  private:
    ReportLines& report_;
};

ExitCode exitCodeOf(RunOutcome outcome) {
    switch (outcome) {
        case RunOutcome::Done:
            return ExitCode::Done;
        case RunOutcome::RepairNeeded:
            return ExitCode::RepairNeeded;
        case RunOutcome::BrowserOpen:
            return ExitCode::BrowserOpen;
        case RunOutcome::AnotherRepairRunning:
            return ExitCode::AnotherRepairRunning;
        case RunOutcome::DoneWithFailures:
            break;
    }
    return ExitCode::DoneWithFailures;
}

RunOutcome carryOut(BrowserRepair& repair, UnattendedCommand command) {
    switch (command) {
        case UnattendedCommand::Check:
            return repair.checkWhatNeedsRepair();
        case UnattendedCommand::Undo:
            return repair.DeshacerCambios();
        case UnattendedCommand::Repair:
        case UnattendedCommand::Usage:
            break;
    }
    return repair.VerificarNavegador(texts::kBrowserWindowClass);
}

bool runsAsSystem(PlatformOps& platform) {
    const auto user = platform.ProgramUserSid();
    return user.ok() && user.value() == kSystemAccount;
}

ExitCode run(PlatformOps& platform, const UnattendedRequest& request, ReportLines& report) {
    const auto elevated = platform.IsElevated();
    if (!elevated.ok() || !elevated.value()) {
        report.appendLine(texts::kNotElevated);
        return ExitCode::CannotRun;
    }
    ReportingPlatform reporting(platform, report);
    BrowserRepair repair(reporting, report);
    repair.setEveryUser(request.allUsers || runsAsSystem(platform));
    repair.loadPaths();
    return exitCodeOf(carryOut(repair, request.command));
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
    ReportLines report(request.startPage.value_or(L""), request.browsers, request.network,
                       request.shortcuts);
    auto code = run(platform, request, report);
    for (const auto& line : report.lines) {
        console.writeLine(line);
    }
    if (request.logFile) {
        const auto error = appendLogBlock(*request.logFile, report.lines);
        if (error) {
            console.writeLine(std::wstring(texts::kLogNotWritablePrefix) + *request.logFile +
                              L" (" + platform.DescribeError(error) + L")");
        }
        code = exitCodeAfterLog(code, !error);
    }
    return static_cast<int>(code);
}

std::vector<std::wstring> commandArguments() {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    // Only a lack of memory makes the split fail; the window then opens as
    // it does without arguments.
    if (!arguments) {
        return {};
    }
    const win32::LocalMemory owner(arguments);
    return std::vector<std::wstring>(arguments + std::min(count, 1), arguments + count);
}

}  // namespace tovask::app
