#include "repair/startup/StartupCommand.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "repair/network/StartupPrograms.h"
#include "repair/shortcuts/CommandLineArguments.h"
#include "repair/shortcuts/ShortcutFinding.h"
#include "repair/shortcuts/ShortcutTarget.h"
#include "repair/shortcuts/WebAddress.h"
#include "repair/startup/EncodedCommand.h"
#include "repair/startup/StartupTexts.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

bool startsWithIgnoringCase(std::wstring_view text, std::wstring_view prefix) {
    return text.size() >= prefix.size() &&
           equalsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

bool endsWithIgnoringCase(std::wstring_view text, std::wstring_view suffix) {
    return text.size() >= suffix.size() &&
           equalsIgnoringCase(text.substr(text.size() - suffix.size()), suffix);
}

// PowerShell takes any beginning of -EncodedCommand, and -ec.
bool isEncodedCommandOption(std::wstring_view argument) {
    constexpr std::wstring_view kOption = L"encodedcommand";
    if (argument.size() < 2 || (argument[0] != L'-' && argument[0] != L'/')) {
        return false;
    }
    const auto name = argument.substr(1);
    return equalsIgnoringCase(name, L"ec") ||
           (name.size() <= kOption.size() &&
            equalsIgnoringCase(name, kOption.substr(0, name.size())));
}

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
    if (std::ranges::any_of(arguments, [](const CommandLineArgument& argument) {
            return isEncodedCommandOption(argument.value);
        })) {
        return texts::kStartupEncodedScript;
    }
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

}  // namespace

std::optional<StartupHijack> startupCommandHijack(std::wstring_view command) {
    const auto program = programOfCommand(command);
    if (program.empty()) {
        return std::nullopt;
    }
    // The arguments follow the program as the command names it, quotes included.
    const auto split = splitArguments(command);
    const auto& first = split.front();
    const auto programEnd =
        command[first.begin] == L'"' ? first.begin + first.length : first.begin + program.size();
    const auto argumentText = command.substr(std::min(programEnd, command.size()));
    const auto arguments = splitArguments(argumentText);
    // The system finds "cmd" or "pwsh" as the program of that name with ".exe".
    const auto named = program.find(L'.', program.rfind(L'\\') + 1) == std::wstring::npos
                           ? program + L".exe"
                           : program;
    const auto target = classifyShortcutTarget(named);
    const bool rundll = endsWithIgnoringCase(named, L"rundll32.exe");
    if (isBrowser(target)) {
        return opensBrowserPage(arguments)
                   ? std::optional(
                         StartupHijack{texts::kStartupOpensBrowser, browserEvidence(arguments)})
                   : std::nullopt;
    }
    std::optional<std::wstring_view> reason;
    if (rundll && !arguments.empty()) {
        // Its first argument names a library and its entry ("shell32.dll,Control_RunDLL"),
        // which reads like a host name.
        const auto& library = arguments.front();
        reason = scriptHostHijack(program, argumentText.substr(library.begin + library.length),
                                  arguments);
    } else if (target == ShortcutTarget::ScriptHost || rundll) {
        reason = scriptHostHijack(program, argumentText, arguments);
    }
    return reason ? std::optional(StartupHijack{*reason}) : std::nullopt;
}

std::optional<std::wstring> encodedScriptOf(std::wstring_view command) {
    const auto program = programOfCommand(command);
    const bool powerShell = endsWithIgnoringCase(program, L"powershell.exe") ||
                            endsWithIgnoringCase(program, L"powershell") ||
                            endsWithIgnoringCase(program, L"pwsh.exe") ||
                            endsWithIgnoringCase(program, L"pwsh");
    const auto arguments = splitArguments(command);
    for (std::size_t at = 1; powerShell && at + 1 < arguments.size(); ++at) {
        if (isEncodedCommandOption(arguments[at].value)) {
            return decodedPowerShellCommand(arguments[at + 1].value);
        }
    }
    return std::nullopt;
}

std::optional<StartupHijack> taskCommandHijack(std::wstring_view command) {
    if (const auto script = encodedScriptOf(command)) {
        const auto reason = decodedScriptHijack(*script);
        return reason ? std::optional(StartupHijack{*reason}) : std::nullopt;
    }
    return startupCommandHijack(command);
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

}  // namespace tovask
