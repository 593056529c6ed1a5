#include "repair/commandline/CommandLine.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

#include "repair/commandline/CommandLineTexts.h"
#include "repair/findings/FindingKinds.h"
#include "text/DecimalText.h"
#include "text/Utf16.h"

namespace tovask {
namespace {

using ParsedLine = std::variant<UnattendedRequest, CommandLineMistake>;

enum class SwitchKind { Command, StartPage, Log, Allow, AllUsers, Json, Finding, All, Hosts };

struct KnownSwitch {
    std::wstring_view name;
    SwitchKind kind;
    UnattendedCommand command;
    // What the usage text calls the value; empty when the switch takes none.
    std::wstring_view placeholder;
};

constexpr KnownSwitch kFixedSwitches[] = {
    {L"check", SwitchKind::Command, UnattendedCommand::Check, {}},
    {L"repair", SwitchKind::Command, UnattendedCommand::Repair, {}},
    {L"undo", SwitchKind::Command, UnattendedCommand::Undo, {}},
    {L"runs", SwitchKind::Command, UnattendedCommand::Runs, {}},
    {L"?", SwitchKind::Command, UnattendedCommand::Usage, {}},
    {L"startpage", SwitchKind::StartPage, {}, L"<URL>"},
    {L"log", SwitchKind::Log, {}, L"<archivo>"},
    {L"allow", SwitchKind::Allow, {}, L"<archivo>"},
    {L"allusers", SwitchKind::AllUsers, {}, {}},
    {L"json", SwitchKind::Json, {}, {}},
    {L"all", SwitchKind::All, {}, {}},
    {L"hosts", SwitchKind::Hosts, {}, L"reset"},
};

// The fixed switches, then the kinds' switches, each once: several kinds
// may answer to one switch.
const std::vector<KnownSwitch>& knownSwitches() {
    static const auto switches = [] {
        std::vector<KnownSwitch> all(std::begin(kFixedSwitches), std::end(kFixedSwitches));
        for (const auto* kind : findingKinds()) {
            if (std::ranges::find(all, kind->commandSwitch, &KnownSwitch::name) == all.end()) {
                all.push_back({kind->commandSwitch, SwitchKind::Finding, {}, {}});
            }
        }
        return all;
    }();
    return switches;
}

// One argument taken apart: "/name" or "-name", then ":value" if present.
struct SwitchArgument {
    const KnownSwitch* known = nullptr;
    std::optional<std::wstring_view> value;
};

// Switch names are plain ASCII; folding only ASCII letters keeps the match the
// same on every system, whatever its locale makes of other letters.
wchar_t asciiLower(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool sameSwitchName(std::wstring_view typed, std::wstring_view name) {
    return std::ranges::equal(typed, name,
                              [](wchar_t a, wchar_t b) { return asciiLower(a) == asciiLower(b); });
}

SwitchArgument takeApart(std::wstring_view argument) {
    if (argument.empty() || (argument.front() != L'/' && argument.front() != L'-')) {
        return {};
    }
    const auto rest = argument.substr(1);
    const auto colon = rest.find(L':');
    const auto name = rest.substr(0, colon);
    const auto& switches = knownSwitches();
    const auto known = std::ranges::find_if(switches, [&](const KnownSwitch& candidate) {
        return sameSwitchName(name, candidate.name);
    });
    if (known == switches.end()) {
        return {};
    }
    if (colon == std::wstring_view::npos) {
        return {&*known, std::nullopt};
    }
    return {&*known, rest.substr(colon + 1)};
}

// A pasted text of a million characters must not become the message itself.
std::wstring shown(std::wstring_view argument) {
    constexpr std::size_t kLongestShown = 80;
    if (argument.size() <= kLongestShown) {
        return std::wstring(argument);
    }
    return std::wstring(argument.substr(0, kLongestShown)) + L"…";
}

std::wstring switchName(const KnownSwitch& known) {
    return L"/" + std::wstring(known.name);
}

CommandLineMistake mistake(std::wstring message) {
    return {message + std::wstring(texts::kSeeUsage)};
}

// A run's number as /runs gives it: decimal digits, not zero.
std::optional<std::uint32_t> runNumber(std::wstring_view digits) {
    constexpr std::size_t kMostDigits = 9;
    if (digits.empty() || digits.size() > kMostDigits ||
        !std::ranges::all_of(digits, [](wchar_t c) { return c >= L'0' && c <= L'9'; })) {
        return std::nullopt;
    }
    std::uint32_t number = 0;
    for (const auto c : digits) {
        number = number * 10 + static_cast<std::uint32_t>(c - L'0');
    }
    return number == 0 ? std::nullopt : std::optional(number);
}

std::optional<CommandLineMistake> valueMistake(std::wstring_view argument,
                                               const SwitchArgument& taken) {
    const auto& known = *taken.known;
    // /undo alone undoes the last run; /undo:<n> the run of that number.
    if (known.command == UnattendedCommand::Undo && known.kind == SwitchKind::Command &&
        taken.value && !runNumber(*taken.value)) {
        return mistake(std::wstring(texts::kRunNumberUnknownPrefix) + shown(argument));
    }
    if (known.placeholder.empty()) {
        if (taken.value && known.command != UnattendedCommand::Undo) {
            return mistake(std::wstring(texts::kUnexpectedValuePrefix) + shown(argument));
        }
        return std::nullopt;
    }
    if (!taken.value || taken.value->empty()) {
        return mistake(std::wstring(texts::kMissingValuePrefix) + switchName(known) +
                       std::wstring(texts::kMissingValueExample) + switchName(known) + L":" +
                       std::wstring(known.placeholder) + L".");
    }
    // The length is checked before the UTF-16 count, which costs a copy.
    if (known.kind == SwitchKind::StartPage &&
        (taken.value->size() > texts::kLongestStartPage ||
         toUtf16LeBytes(*taken.value).size() / 2 > texts::kLongestStartPage)) {
        return mistake(std::wstring(texts::kStartPageTooLong));
    }
    if (known.kind == SwitchKind::Hosts && !sameSwitchName(*taken.value, known.placeholder)) {
        return mistake(std::wstring(texts::kHostsValueUnknownPrefix) + shown(argument));
    }
    return std::nullopt;
}

// Each argument on its own: known, not repeated, with a value where one is due.
ParsedLine collect(std::span<const std::wstring> arguments) {
    std::optional<UnattendedCommand> command;
    UnattendedRequest request{};
    std::vector<bool> seen(knownSwitches().size());
    for (const auto& argument : arguments) {
        const auto taken = takeApart(argument);
        if (!taken.known) {
            return mistake(std::wstring(texts::kUnknownArgumentPrefix) + shown(argument));
        }
        const auto position = static_cast<std::size_t>(taken.known - knownSwitches().data());
        if (seen[position]) {
            return mistake(std::wstring(texts::kRepeatedSwitchPrefix) + switchName(*taken.known));
        }
        seen[position] = true;
        if (auto problem = valueMistake(argument, taken)) {
            return *problem;
        }
        switch (taken.known->kind) {
            case SwitchKind::Command:
                if (command) {
                    return mistake(std::wstring(texts::kMoreThanOneCommand));
                }
                command = taken.known->command;
                if (taken.value) {
                    request.runId = runNumber(*taken.value);
                }
                break;
            case SwitchKind::StartPage:
                request.startPage = std::wstring(*taken.value);
                break;
            case SwitchKind::Log:
                request.logFile = std::wstring(*taken.value);
                break;
            case SwitchKind::Allow:
                request.allowFile = std::wstring(*taken.value);
                break;
            case SwitchKind::AllUsers:
                request.allUsers = true;
                break;
            case SwitchKind::Json:
                request.json = true;
                break;
            case SwitchKind::Finding:
                for (const auto* kind : findingKinds()) {
                    if (kind->commandSwitch == taken.known->name) {
                        request.kinds.insert(kind->kind);
                    }
                }
                break;
            case SwitchKind::All:
                for (const auto* kind : findingKinds()) {
                    request.kinds.insert(kind->kind);
                }
                break;
            case SwitchKind::Hosts:
                request.resetHosts = true;
                break;
        }
    }
    if (!command) {
        return mistake(std::wstring(texts::kMissingCommand));
    }
    request.command = *command;
    return request;
}

// The switches together: each only with the commands it serves.
ParsedLine checkCombination(ParsedLine line, std::size_t argumentCount) {
    const auto* request = std::get_if<UnattendedRequest>(&line);
    if (!request) {
        return line;
    }
    if (request->command == UnattendedCommand::Usage && argumentCount > 1) {
        return mistake(std::wstring(texts::kUsageStandsAlone));
    }
    // A check compares with what the repair with the same switches leaves.
    const bool comparesWithARepair = request->command == UnattendedCommand::Repair ||
                                     request->command == UnattendedCommand::Check;
    if (request->startPage && !comparesWithARepair) {
        return mistake(std::wstring(texts::kStartPageWithoutRepair));
    }
    if (request->allowFile && !comparesWithARepair) {
        return mistake(std::wstring(texts::kAllowWithoutCheck));
    }
    if (request->resetHosts && !comparesWithARepair) {
        return mistake(std::wstring(texts::kHostsResetWithoutRepair));
    }
    return line;
}

}  // namespace

std::optional<ParsedLine> parseCommandLine(std::span<const std::wstring> arguments) {
    if (arguments.empty()) {
        return std::nullopt;
    }
    return checkCombination(collect(arguments), arguments.size());
}

std::wstring_view commandName(UnattendedCommand command) {
    const auto known = std::ranges::find_if(kFixedSwitches, [&](const KnownSwitch& known) {
        return known.kind == SwitchKind::Command && known.command == command;
    });
    return known == std::end(kFixedSwitches) ? std::wstring_view{} : known->name;
}

std::wstring_view usageText() {
    return texts::kUsage;
}

std::wstring logBlockRun(std::wstring_view commandLine) {
    return std::wstring(texts::kLogProgramLabel) + std::wstring(commandLine);
}

std::wstring logBlockExitLine(ExitCode code) {
    return std::wstring(texts::kLogExitCodeLabel) + decimalText(static_cast<unsigned>(code));
}

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
        case RunOutcome::NothingToUndo:
            return ExitCode::NothingToUndo;
        case RunOutcome::AlreadyUndone:
            return ExitCode::AlreadyUndone;
        case RunOutcome::DoneWithFailures:
            break;
    }
    return ExitCode::DoneWithFailures;
}

ExitCode exitCodeAfterLog(ExitCode run, bool logged) {
    return !logged && run == ExitCode::Done ? ExitCode::DoneWithFailures : run;
}

}  // namespace tovask
