#include "repair/startup/PowerShellCommand.h"

#include <algorithm>
#include <array>

#include "text/TextCompare.h"

namespace tovask {
namespace {

// What an option does with the arguments after it.
enum class Takes { Nothing, Value, WindowStyle, ExecutionPolicy, EncodedCommand, Command, File };

struct PowerShellOption {
    std::wstring_view name;
    std::wstring_view shortest;  // the shortest beginning of the name PowerShell takes
    Takes takes;
};

// In the order PowerShell tries them, the first that matches winning.
constexpr std::array kOptions = {
    // Windows PowerShell's -Version takes the version to run.
    PowerShellOption{L"version", L"v", Takes::Value},
    PowerShellOption{L"help", L"h", Takes::Nothing},
    PowerShellOption{L"?", L"?", Takes::Nothing},
    PowerShellOption{L"login", L"l", Takes::Nothing},
    PowerShellOption{L"noexit", L"noe", Takes::Nothing},
    PowerShellOption{L"noprofile", L"nop", Takes::Nothing},
    PowerShellOption{L"nologo", L"nol", Takes::Nothing},
    PowerShellOption{L"noninteractive", L"noni", Takes::Nothing},
    PowerShellOption{L"socketservermode", L"so", Takes::Nothing},
    PowerShellOption{L"servermode", L"s", Takes::Nothing},
    PowerShellOption{L"namedpipeservermode", L"nam", Takes::Nothing},
    PowerShellOption{L"sshservermode", L"sshs", Takes::Nothing},
    PowerShellOption{L"interactive", L"i", Takes::Nothing},
    PowerShellOption{L"configurationname", L"config", Takes::Value},
    PowerShellOption{L"custompipename", L"cus", Takes::Value},
    PowerShellOption{L"command", L"c", Takes::Command},
    PowerShellOption{L"windowstyle", L"w", Takes::WindowStyle},
    PowerShellOption{L"file", L"f", Takes::File},
    PowerShellOption{L"outputformat", L"o", Takes::Value},
    PowerShellOption{L"of", L"o", Takes::Value},
    PowerShellOption{L"inputformat", L"inp", Takes::Value},
    PowerShellOption{L"if", L"if", Takes::Value},
    PowerShellOption{L"executionpolicy", L"ex", Takes::ExecutionPolicy},
    PowerShellOption{L"ep", L"ep", Takes::ExecutionPolicy},
    PowerShellOption{L"encodedcommand", L"e", Takes::EncodedCommand},
    PowerShellOption{L"ec", L"e", Takes::EncodedCommand},
    PowerShellOption{L"encodedarguments", L"encodeda", Takes::Value},
    PowerShellOption{L"ea", L"ea", Takes::Value},
    PowerShellOption{L"settingsfile", L"settings", Takes::Value},
    PowerShellOption{L"sta", L"sta", Takes::Nothing},
    PowerShellOption{L"mta", L"mta", Takes::Nothing},
    PowerShellOption{L"workingdirectory", L"wo", Takes::Value},
    PowerShellOption{L"wd", L"wd", Takes::Value},
    PowerShellOption{L"removeworkingdirectorytrailingcharacter",
                     L"removeworkingdirectorytrailingcharacter", Takes::Nothing},
    // Windows PowerShell's.
    PowerShellOption{L"psconsolefile", L"psc", Takes::Value},
};

bool isDash(wchar_t c) {
    return c == L'-' || c == L'\u2013' || c == L'\u2014' || c == L'\u2015';
}

std::wstring_view trimmed(std::wstring_view text) {
    const auto first = text.find_first_not_of(L" \t");
    if (first == std::wstring_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

// The option's name as PowerShell reads it: without "-", "/" or "--".
std::optional<std::wstring_view> optionName(std::wstring_view argument) {
    argument = trimmed(argument);
    if (argument.empty() || (!isDash(argument[0]) && argument[0] != L'/')) {
        return std::nullopt;
    }
    argument.remove_prefix(1);
    if (!argument.empty() && isDash(argument[0])) {
        argument.remove_prefix(1);
    }
    return argument;
}

bool isBeginningOf(std::wstring_view part, std::wstring_view whole) {
    return part.size() <= whole.size() && equalsIgnoringCase(part, whole.substr(0, part.size()));
}

std::optional<Takes> optionTakes(std::wstring_view name) {
    const auto option = std::ranges::find_if(kOptions, [&](const PowerShellOption& known) {
        return name.size() >= known.shortest.size() && isBeginningOf(name, known.name);
    });
    return option == kOptions.end() ? std::nullopt : std::optional(option->takes);
}

// PowerShell converts an enumeration's value from its number, or from any
// beginning of its name that no other name of the enumeration shares.
bool namesValue(std::wstring_view value, std::wstring_view name, std::size_t shortest,
                std::wstring_view number) {
    value = trimmed(value);
    if (!value.empty() &&
        std::ranges::all_of(value, [](wchar_t c) { return c >= L'0' && c <= L'9'; })) {
        const auto digits = value.find_first_not_of(L'0');
        return value.substr(digits == std::wstring_view::npos ? value.size() - 1 : digits) ==
               number;
    }
    return value.size() >= shortest && isBeginningOf(value, name);
}

std::wstring joinedFrom(std::span<const CommandLineArgument> arguments, std::size_t first) {
    std::wstring text;
    for (auto at = first; at < arguments.size(); ++at) {
        text += (at == first ? L"" : L" ") + arguments[at].value;
    }
    return text;
}

}  // namespace

PowerShellCommandLine readPowerShellArguments(std::span<const CommandLineArgument> arguments) {
    PowerShellCommandLine line;
    for (std::size_t at = 0; at < arguments.size(); ++at) {
        const auto name = optionName(arguments[at].value);
        if (!name || name->empty()) {
            line.script = joinedFrom(arguments, at);
            break;
        }
        const auto takes = optionTakes(*name);
        if (!takes || *takes == Takes::Nothing) {
            continue;
        }
        if (*takes == Takes::Command) {
            line.script = joinedFrom(arguments, at + 1);
            break;
        }
        if (*takes == Takes::File || ++at == arguments.size()) {
            break;
        }
        const std::wstring_view value = arguments[at].value;
        switch (*takes) {
            case Takes::WindowStyle:
                line.hidden = line.hidden || namesValue(value, L"hidden", 1, L"1");
                break;
            case Takes::ExecutionPolicy:
                line.bypassesPolicy = line.bypassesPolicy ||
                                      namesValue(value, L"bypass", 1, L"4") ||
                                      namesValue(value, L"unrestricted", 3, L"0");
                break;
            case Takes::EncodedCommand:
                if (!line.encodedCommand) {
                    line.encodedCommand = std::wstring(value);
                }
                break;
            default:
                break;
        }
    }
    return line;
}

bool namesEncodedCommand(std::wstring_view argument) {
    const auto name = optionName(argument);
    return name && optionTakes(*name) == Takes::EncodedCommand;
}

bool isPowerShell(std::wstring_view program) {
    const auto name = program.substr(program.find_last_of(L"\\/") + 1);
    constexpr std::array<std::wstring_view, 4> kNames = {L"powershell", L"powershell.exe", L"pwsh",
                                                         L"pwsh.exe"};
    return std::ranges::any_of(kNames, [&](auto known) { return equalsIgnoringCase(name, known); });
}

}  // namespace tovask
