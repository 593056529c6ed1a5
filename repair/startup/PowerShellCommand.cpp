#include "repair/startup/PowerShellCommand.h"

#include <algorithm>
#include <array>

#include "text/Blanks.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

// What an option does with the arguments after it.
enum class ParameterTakes {
    Nothing,
    Value,
    WindowStyle,
    ExecutionPolicy,
    EncodedCommand,
    Command,
    File
};

struct PowerShellOption {
    std::wstring_view name;
    std::wstring_view shortest;  // the shortest beginning of the name PowerShell takes
    ParameterTakes takes;
};

// In the order PowerShell tries them, the first that matches winning.
constexpr std::array kOptions = {
    // Windows PowerShell's -Version takes the version to run.
    PowerShellOption{L"version", L"v", ParameterTakes::Value},
    PowerShellOption{L"help", L"h", ParameterTakes::Nothing},
    PowerShellOption{L"?", L"?", ParameterTakes::Nothing},
    PowerShellOption{L"login", L"l", ParameterTakes::Nothing},
    PowerShellOption{L"noexit", L"noe", ParameterTakes::Nothing},
    PowerShellOption{L"noprofile", L"nop", ParameterTakes::Nothing},
    PowerShellOption{L"nologo", L"nol", ParameterTakes::Nothing},
    PowerShellOption{L"noninteractive", L"noni", ParameterTakes::Nothing},
    PowerShellOption{L"socketservermode", L"so", ParameterTakes::Nothing},
    PowerShellOption{L"servermode", L"s", ParameterTakes::Nothing},
    PowerShellOption{L"namedpipeservermode", L"nam", ParameterTakes::Nothing},
    PowerShellOption{L"sshservermode", L"sshs", ParameterTakes::Nothing},
    PowerShellOption{L"interactive", L"i", ParameterTakes::Nothing},
    PowerShellOption{L"configurationname", L"config", ParameterTakes::Value},
    PowerShellOption{L"custompipename", L"cus", ParameterTakes::Value},
    PowerShellOption{L"command", L"c", ParameterTakes::Command},
    PowerShellOption{L"windowstyle", L"w", ParameterTakes::WindowStyle},
    PowerShellOption{L"file", L"f", ParameterTakes::File},
    PowerShellOption{L"outputformat", L"o", ParameterTakes::Value},
    PowerShellOption{L"of", L"o", ParameterTakes::Value},
    PowerShellOption{L"inputformat", L"inp", ParameterTakes::Value},
    PowerShellOption{L"if", L"if", ParameterTakes::Value},
    PowerShellOption{L"executionpolicy", L"ex", ParameterTakes::ExecutionPolicy},
    PowerShellOption{L"ep", L"ep", ParameterTakes::ExecutionPolicy},
    PowerShellOption{L"encodedcommand", L"e", ParameterTakes::EncodedCommand},
    PowerShellOption{L"ec", L"e", ParameterTakes::EncodedCommand},
    PowerShellOption{L"encodedarguments", L"encodeda", ParameterTakes::Value},
    PowerShellOption{L"ea", L"ea", ParameterTakes::Value},
    PowerShellOption{L"settingsfile", L"settings", ParameterTakes::Value},
    PowerShellOption{L"sta", L"sta", ParameterTakes::Nothing},
    PowerShellOption{L"mta", L"mta", ParameterTakes::Nothing},
    PowerShellOption{L"workingdirectory", L"wo", ParameterTakes::Value},
    PowerShellOption{L"wd", L"wd", ParameterTakes::Value},
    PowerShellOption{L"removeworkingdirectorytrailingcharacter",
                     L"removeworkingdirectorytrailingcharacter", ParameterTakes::Nothing},
    // Windows PowerShell's.
    PowerShellOption{L"psconsolefile", L"psc", ParameterTakes::Value},
};

bool isDash(wchar_t c) {
    return c == L'-' || c == L'\u2013' || c == L'\u2014' || c == L'\u2015';
}

// The option's name as PowerShell reads it: without "-", "/" or "--".
std::optional<std::wstring_view> parameterName(std::wstring_view argument) {
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

std::optional<ParameterTakes> optionTakes(std::wstring_view name) {
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
        const auto name = parameterName(arguments[at].value);
        if (!name || name->empty()) {
            line.script = joinedFrom(arguments, at);
            break;
        }
        const auto takes = optionTakes(*name);
        if (!takes || *takes == ParameterTakes::Nothing) {
            continue;
        }
        if (*takes == ParameterTakes::Command) {
            line.script = joinedFrom(arguments, at + 1);
            break;
        }
        if (*takes == ParameterTakes::File || ++at == arguments.size()) {
            break;
        }
        const std::wstring_view value = arguments[at].value;
        switch (*takes) {
            case ParameterTakes::WindowStyle:
                line.hidden = line.hidden || namesValue(value, L"hidden", 1, L"1");
                break;
            case ParameterTakes::ExecutionPolicy:
                line.bypassesPolicy = line.bypassesPolicy ||
                                      namesValue(value, L"bypass", 1, L"4") ||
                                      namesValue(value, L"unrestricted", 3, L"0");
                break;
            case ParameterTakes::EncodedCommand:
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
    const auto name = parameterName(argument);
    return name && optionTakes(*name) == ParameterTakes::EncodedCommand;
}

bool isPowerShell(std::wstring_view program) {
    const auto name = program.substr(program.find_last_of(L"\\/") + 1);
    constexpr std::array<std::wstring_view, 4> kNames = {L"powershell", L"powershell.exe", L"pwsh",
                                                         L"pwsh.exe"};
    return std::ranges::any_of(kNames, [&](auto known) { return equalsIgnoringCase(name, known); });
}

}  // namespace tovask
