#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "repair/report/Finding.h"
#include "repair/run/RunOutcome.h"

namespace tovask {

// What an administrator's script asks for when it starts the program with
// arguments instead of a person clicking in the window.
enum class UnattendedCommand { Check, Repair, Undo, Runs, Usage };

// The process's exit code: the same for every caller, and listed in the usage
// text, so that scripts can rely on it.
enum class ExitCode : int {
    Done = 0,
    RepairNeeded = 1,
    BadCommandLine = 2,
    DoneWithFailures = 3,
    BrowserOpen = 4,
    AnotherRepairRunning = 5,
    CannotRun = 6,
    NothingToUndo = 7,
    AlreadyUndone = 8,
};

ExitCode exitCodeOf(RunOutcome outcome);

struct UnattendedRequest {
    UnattendedCommand command;
    // Only with Repair, and with Check to compare with that repair; without it
    // the repair puts back the default start page.
    std::optional<std::wstring> startPage = std::nullopt;
    std::optional<std::wstring> logFile = std::nullopt;
    // Only with Check and Repair: the person's allow list (see AllowList.h).
    std::optional<std::wstring> allowFile = std::nullopt;
    bool allUsers = false;
    // The report as one JSON document instead of lines (see RunJson.h).
    bool json = false;
    // The kinds of finding beyond Internet Explorer whose switches were given
    // (/browsers, /network, /shortcuts; /all names every kind): they count
    // for /check and are repaired by /repair.
    std::set<FindingKind> kinds = {};
    // /hosts:reset: the repair puts back the whole default HOSTS file, as the
    // window's button does, instead of taking out only the entries that count.
    bool resetHosts = false;
    // /undo:<n>: the run whose backups /runs lists under that number.
    std::optional<std::uint32_t> runId = std::nullopt;
};

// Why a command line was refused, in Spanish for the user. Nothing is changed.
struct CommandLineMistake {
    std::wstring message;
};

// The arguments as the system split them, without the program's own name.
// No arguments at all: std::nullopt, and the window opens.
std::optional<std::variant<UnattendedRequest, CommandLineMistake>> parseCommandLine(
    std::span<const std::wstring> arguments);

// The command's switch without its slash: "check", "repair", "undo", "?".
std::wstring_view commandName(UnattendedCommand command);

// The commands, the switches and the exit codes, in Spanish; lines are joined
// with "\n" alone, so the caller writes them with its own line ends.
std::wstring_view usageText();

// What a run's block in the log says after the date, the computer and the
// user on its first line: the program's version and the command line as the
// system gave it. Its last line gives the exit code.
std::wstring logBlockRun(std::wstring_view commandLine);
std::wstring logBlockExitLine(ExitCode code);

// The exit code once the run's block was appended to its log, or failed to
// be: a run whose record is lost cannot report that all went well.
ExitCode exitCodeAfterLog(ExitCode run, bool logged);

}  // namespace tovask
