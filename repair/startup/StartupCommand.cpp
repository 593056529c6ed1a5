#include "repair/startup/StartupCommand.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "repair/commands/BrowserOptions.h"
#include "repair/commands/CommandLineArguments.h"
#include "repair/commands/ShortcutTarget.h"
#include "repair/commands/WebAddress.h"
#include "repair/report/FindingTexts.h"
#include "repair/startup/EncodedCommand.h"
#include "repair/startup/PowerShellCommand.h"
#include "repair/startup/StartupTexts.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

// Where a user may write: the profiles, the shared data folder, temporary folders.
bool liesWhereUsersWrite(std::wstring_view path) {
    constexpr std::array<std::wstring_view, 7> kStarts = {
        L"%appdata%",     L"%localappdata%", L"%temp%",       L"%tmp%",
        L"%userprofile%", L"%public%",       L"%programdata%"};
    constexpr std::array<std::wstring_view, 4> kParts = {L"\\users\\", L"\\programdata\\",
                                                         L"\\appdata\\", L"\\temp\\"};
    const auto folded = foldedCase(path);
    return std::ranges::any_of(kStarts,
                               [&](auto start) { return folded.starts_with(foldedCase(start)); }) ||
           std::ranges::any_of(kParts, [&](auto part) {
               return folded.find(foldedCase(part)) != std::wstring::npos;
           });
}

bool isScriptFile(std::wstring_view path) {
    constexpr std::array<std::wstring_view, 8> kScripts = {L".ps1", L".vbs", L".vbe", L".js",
                                                           L".jse", L".bat", L".cmd", L".hta"};
    return std::ranges::any_of(
        kScripts, [&](auto extension) { return endsWithIgnoringCase(path, extension); });
}

bool opensBrowserPage(const std::vector<CommandLineArgument>& arguments) {
    return std::ranges::any_of(arguments, [](const CommandLineArgument& argument) {
        const std::wstring_view value = argument.value;
        return isWebAddress(value) || startsWithIgnoringCase(value, L"--load-extension=") ||
               startsWithIgnoringCase(value, L"--disable-extensions-except=") ||
               (startsWithIgnoringCase(value, L"--app=") && isWebAddress(value.substr(6)));
    });
}

// What a browser's arguments established: the folders it loads extensions from.
FindingEvidence browserEvidence(const std::vector<CommandLineArgument>& arguments) {
    FindingEvidence evidence;
    for (const auto& argument : arguments) {
        std::ranges::move(extensionFoldersOf(argument.value),
                          std::back_inserter(evidence.extensionFolders));
    }
    return evidence;
}

std::optional<std::wstring_view> scriptHostHijack(
    std::wstring_view program, std::wstring_view argumentText,
    const std::vector<CommandLineArgument>& arguments) {
    if (holdsWebAddress(argumentText)) {
        return texts::kStartupFetchesAddress;
    }
    const bool userScript =
        (isScriptFile(program) && liesWhereUsersWrite(program)) ||
        std::ranges::any_of(arguments, [](const CommandLineArgument& argument) {
            return isScriptFile(argument.value) && liesWhereUsersWrite(argument.value);
        });
    return userScript ? std::optional(texts::kStartupUserScript) : std::nullopt;
}

// A command's program and its arguments, as the system starts it.
struct CommandParts {
    std::wstring program;  // as the command names it
    // The system finds "cmd" or "pwsh" as the program of that name with ".exe".
    std::wstring named;
    std::wstring_view argumentText;  // what follows the program, quotes included
    std::vector<CommandLineArgument> arguments;
};

std::optional<CommandParts> partsOf(std::wstring_view command) {
    auto program = programOfCommand(command);
    if (program.empty()) {
        return std::nullopt;
    }
    const auto split = splitArguments(command);
    const auto& first = split.front();
    const auto programEnd =
        command[first.begin] == L'"' ? first.begin + first.length : first.begin + program.size();
    const auto argumentText = command.substr(std::min(programEnd, command.size()));
    auto named = program.find(L'.', program.find_last_of(L"\\/") + 1) == std::wstring::npos
                     ? program + L".exe"
                     : program;
    return CommandParts{std::move(program), std::move(named), argumentText,
                        splitArguments(argumentText)};
}

bool isNamed(const CommandParts& parts, std::wstring_view fileName) {
    const std::wstring_view named = parts.named;
    return equalsIgnoringCase(named.substr(named.find_last_of(L"\\/") + 1), fileName);
}

// What follows the argument at `at`, as the command writes it.
std::wstring_view textFrom(const CommandParts& parts, std::size_t at) {
    return at < parts.arguments.size() ? parts.argumentText.substr(parts.arguments[at].begin)
                                       : std::wstring_view{};
}

// cmd drops the first quote of the command it runs and the last one on the
// line; where they quote a program's name alone, it keeps them, and the
// program is found the same without them.
std::wstring_view withoutOuterQuotes(std::wstring_view command) {
    const auto first = command.find_first_not_of(L" \t");
    const auto last = command.rfind(L'"');
    if (first == std::wstring_view::npos || command[first] != L'"' || last == first) {
        return command;
    }
    return command.substr(first + 1, last - first - 1);
}

// The command conhost or cmd runs: conhost's after its own options
// ("--headless", "--width 80"), cmd's after /c, /k or /r, which may run on
// into it ("/cpowershell"), its outer quotes dropped.
std::optional<std::wstring_view> innerCommand(const CommandParts& parts) {
    constexpr std::array<std::wstring_view, 7> kConsoleValues = {
        L"--width",   L"--height", L"--signal",         L"--server",
        L"--feature", L"--vtmode", L"--textmeasurement"};
    const auto& arguments = parts.arguments;
    for (std::size_t at = 0; at < arguments.size(); ++at) {
        const std::wstring_view value = arguments[at].value;
        if (isNamed(parts, L"conhost.exe")) {
            if (!value.starts_with(L'-') && !startsWithIgnoringCase(value, L"0x")) {
                return textFrom(parts, at);
            }
            if (std::ranges::any_of(kConsoleValues, [&](auto option) {
                    return equalsIgnoringCase(value, option);
                })) {
                ++at;
            }
        } else if (isNamed(parts, L"cmd.exe") && value.size() >= 2 && value[0] == L'/' &&
                   std::wstring_view(L"cCkKrR").find(value[1]) != std::wstring_view::npos) {
            return withoutOuterQuotes(parts.argumentText.substr(arguments[at].begin + 2));
        }
    }
    return std::nullopt;
}

// Whether an argument names code on the web or on a network path.
bool namesRemoteCode(std::wstring_view value) {
    return holdsWebAddress(value) ||
           (value.starts_with(L"\\\\") && !value.starts_with(L"\\\\.\\") &&
            (!value.starts_with(L"\\\\?\\") || startsWithIgnoringCase(value, L"\\\\?\\UNC\\")));
}

bool anyArgument(const CommandParts& parts, const auto& test) {
    return std::ranges::any_of(
        parts.arguments, [&](const CommandLineArgument& argument) { return test(argument.value); });
}

// Windows's programs that open or fetch what their arguments name.
std::optional<std::wstring_view> launcherHijack(const CommandParts& parts) {
    if (isNamed(parts, L"explorer.exe") && anyArgument(parts, isWebAddress)) {
        return texts::kStartupOpensBrowser;
    }
    // scrobj.dll runs the scriptlet that "/i:<address>" fetches.
    if (isNamed(parts, L"regsvr32.exe") && anyArgument(parts, [](std::wstring_view value) {
            return value.size() > 3 && (value[0] == L'/' || value[0] == L'-') &&
                   startsWithIgnoringCase(value.substr(1), L"i:") &&
                   namesRemoteCode(value.substr(3));
        })) {
        return texts::kStartupFetchesAddress;
    }
    if (isNamed(parts, L"msiexec.exe") && anyArgument(parts, isWebAddress)) {
        return texts::kStartupFetchesAddress;
    }
    if (isNamed(parts, L"mshta.exe") && anyArgument(parts, namesRemoteCode)) {
        return texts::kStartupFetchesAddress;
    }
    return std::nullopt;
}

std::optional<std::wstring> decodedScriptOf(const PowerShellCommandLine& line) {
    return line.encodedCommand ? decodedPowerShellCommand(*line.encodedCommand) : std::nullopt;
}

// PowerShell's script judgedCommand by what it does; an encoded one that hides what
// it does is reported.
std::optional<StartupHijack> powerShellHijack(const CommandParts& parts) {
    const auto line = readPowerShellArguments(parts.arguments);
    if (line.encodedCommand) {
        const auto script = decodedScriptOf(line);
        if (!script) {
            return StartupHijack{texts::kStartupUnreadableScript, false};
        }
        if (const auto reason = powerShellScriptHijack(*script)) {
            return StartupHijack{*reason};
        }
        return line.hidden && line.bypassesPolicy
                   ? std::optional(StartupHijack{texts::kStartupEncodedScript, false})
                   : std::nullopt;
    }
    if (const auto reason = line.script ? powerShellScriptHijack(*line.script) : std::nullopt) {
        return StartupHijack{*reason};
    }
    const auto reason = scriptHostHijack(parts.program, parts.argumentText, parts.arguments);
    return reason ? std::optional(StartupHijack{*reason}) : std::nullopt;
}

// Far beyond "conhost --headless cmd /c ...": a command wrapped deeper
// judges as what it is.
constexpr int kMostLaunchersDeep = 4;

std::optional<StartupHijack> judgedCommand(std::wstring_view command, int depth) {
    const auto parts = partsOf(command);
    if (!parts) {
        return std::nullopt;
    }
    const auto& arguments = parts->arguments;
    const auto target = classifyShortcutTarget(parts->named);
    if (isBrowser(target)) {
        return opensBrowserPage(arguments)
                   ? std::optional(StartupHijack{texts::kStartupOpensBrowser, true,
                                                 browserEvidence(arguments)})
                   : std::nullopt;
    }
    if (isPowerShell(parts->program)) {
        return powerShellHijack(*parts);
    }
    if (const auto inner = depth < kMostLaunchersDeep ? innerCommand(*parts) : std::nullopt) {
        // PowerShell's own verdict stands, whatever starts it.
        auto hijack = judgedCommand(*inner, depth + 1);
        if (hijack || isPowerShell(programOfCommand(*inner))) {
            return hijack;
        }
    }
    if (const auto reason = launcherHijack(*parts)) {
        return StartupHijack{*reason};
    }
    const bool rundll = isNamed(*parts, L"rundll32.exe");
    if (target != ShortcutTarget::ScriptHost && !rundll) {
        return std::nullopt;
    }
    // Another host that hands PowerShell an encoded command hides what it runs.
    if (anyArgument(*parts, namesEncodedCommand)) {
        return StartupHijack{texts::kStartupEncodedScript};
    }
    // rundll32's first argument names a library and its entry
    // ("shell32.dll,Control_RunDLL"), which reads like a host name.
    const auto reason = scriptHostHijack(
        parts->program, rundll ? textFrom(*parts, 1) : parts->argumentText, arguments);
    return reason ? std::optional(StartupHijack{*reason}) : std::nullopt;
}

// What a task does, in its title, for each reason a command puts a hijack back.
struct TaskDoing {
    std::wstring_view reason;
    std::wstring_view how;
};

constexpr TaskDoing kTaskDoings[] = {
    {texts::kStartupOpensBrowser, texts::kTaskOpensBrowserHow},
    {texts::kStartupDownloadsExtension, texts::kTaskDownloadsExtensionHow},
    {texts::kStartupServesHijack, texts::kTaskServesHijackHow},
    {texts::kStartupRunsDownloadedCode, texts::kTaskRunsDownloadedCodeHow},
    {texts::kStartupEncodedScript, texts::kTaskEncodedScriptHow},
    {texts::kStartupUnreadableScript, texts::kTaskUnreadableScriptHow},
    {texts::kStartupFetchesAddress, texts::kTaskFetchesAddressHow},
    {texts::kStartupUserScript, texts::kTaskUserScriptHow},
    {texts::kStartupTakesSystemName, texts::kTaskTakesSystemNameHow},
};

}  // namespace

std::optional<StartupHijack> startupCommandHijack(std::wstring_view command) {
    return judgedCommand(command, 0);
}

StartupHijack systemNameHijack(const SystemNameImpostor& impostor) {
    const std::wstring_view path = impostor.path;
    return {.reason = texts::kStartupTakesSystemName,
            .detail = std::wstring(impostor.name) + std::wstring(texts::kStartupSystemNameLiesIn) +
                      std::wstring(path.substr(0, path.rfind(L'\\')))};
}

std::optional<std::wstring> encodedScriptOf(std::wstring_view command) {
    for (int depth = 0; depth <= kMostLaunchersDeep; ++depth) {
        const auto parts = partsOf(command);
        if (!parts) {
            break;
        }
        if (isPowerShell(parts->program)) {
            return decodedScriptOf(readPowerShellArguments(parts->arguments));
        }
        const auto inner = innerCommand(*parts);
        if (!inner) {
            break;
        }
        command = *inner;
    }
    return std::nullopt;
}

std::wstring startupFindingText(std::wstring_view command, std::wstring_view hijack) {
    auto text = std::wstring(command) + L"; " + std::wstring(hijack);
    if (auto script = encodedScriptOf(command)) {
        // One line of the report: the script's own line breaks and tabs become spaces.
        std::ranges::replace_if(
            *script, [](wchar_t c) { return c < L' '; }, L' ');
        text += std::wstring(texts::kStartupDecodedScriptPrefix) + *script;
    }
    return text;
}

FindingEvidence startupEvidence(std::wstring_view command, FindingEvidence evidence) {
    evidence.runs = std::wstring(command);
    if (const auto script = encodedScriptOf(command)) {
        evidence.runs += L"\n" + *script;
    }
    return evidence;
}

Finding startupFinding(std::wstring place, std::wstring_view command, const StartupHijack& hijack,
                       bool managedMachine) {
    const auto browser = browserNameOf(programOfCommand(command));
    auto finding = withSubject(
        FindingSubject::StartupCommand,
        {FindingKind::Startup, std::wstring(browser.empty() ? texts::kStartupGroup : browser),
         std::move(place), startupFindingText(command, hijack.said()),
         hijack.repairable && !managedMachine, PolicyHives::None,
         startupEvidence(command, hijack.evidence)});
    finding.title = {.what = texts::kStartupCommandTitle, .value = std::wstring(command)};
    return finding;
}

FindingTitle taskTitle(std::wstring_view taskName, std::wstring_view reason) {
    const auto how = std::ranges::find(kTaskDoings, reason, &TaskDoing::reason);
    return {.what = texts::kTaskTitle,
            .name = std::wstring(taskName.substr(taskName.find_last_of(L'\\') + 1)),
            .how = how == std::end(kTaskDoings) ? texts::kTaskStartsHow : how->how};
}

std::wstring taskGroup(std::wstring_view command) {
    const auto browser = browserNameOf(programOfCommand(command));
    return std::wstring(browser.empty() ? texts::kTaskGroup : browser);
}

bool isRepairableStartupHijack(std::wstring_view command) {
    const auto hijack = startupCommandHijack(command);
    return hijack && hijack->repairable;
}

}  // namespace tovask
