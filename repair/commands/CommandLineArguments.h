#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tovask {

// One argument of a command line: the value the started program receives and
// where its text stands in the argument string, quotes and backslashes included.
struct CommandLineArgument {
    std::wstring value;
    std::size_t begin = 0;
    std::size_t length = 0;

    bool operator==(const CommandLineArgument&) const = default;
};

// Splits the arguments part of a command line (what follows the program) as
// CommandLineToArgvW does: blanks are spaces and tabs, 2n backslashes before a
// quote give n and the quote opens or closes, 2n+1 give n and a literal quote,
// and within quotes each third quote of a run is a literal one.
std::vector<CommandLineArgument> splitArguments(std::wstring_view arguments);

// The argument string with the arguments whose `keep` entry is false taken out.
// Every kept argument keeps its text and the blanks before it exactly; the
// first one kept takes the string's leading blanks instead of its own. Nothing
// taken out gives the string back unchanged; nothing kept gives an empty one.
std::wstring keptArguments(std::wstring_view arguments,
                           const std::vector<CommandLineArgument>& split,
                           const std::vector<bool>& keep);

// The program a start-up command runs: the quoted first part; unquoted, the
// text up to the first ".exe" that a blank or the end follows, since the
// system tries the command's beginnings up to each blank until one names a
// program; else the first word.
std::wstring programOfCommand(std::wstring_view command);

}  // namespace tovask
