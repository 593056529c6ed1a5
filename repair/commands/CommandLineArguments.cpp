#include "repair/commands/CommandLineArguments.h"

#include "text/Blanks.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

// Reads one argument from `at`, which stands on its first character, and
// leaves `at` on the blank or end that ends it.
std::wstring readArgument(std::wstring_view text, std::size_t& at) {
    std::wstring value;
    int quotes = 0;  // a run's count, the opening quote included; 0 outside quotes
    std::size_t backslashes = 0;
    while (at < text.size() && !(quotes == 0 && isBlank(text[at]))) {
        const wchar_t c = text[at++];
        if (c != L'"') {
            value += c;
            backslashes = c == L'\\' ? backslashes + 1 : 0;
            continue;
        }
        value.resize(value.size() - backslashes / 2);
        if (backslashes % 2 == 1) {
            value.back() = L'"';
        } else {
            ++quotes;
        }
        backslashes = 0;
        for (; at < text.size() && text[at] == L'"'; ++at) {
            if (++quotes == 3) {
                value += L'"';
                quotes = 0;
            }
        }
        if (quotes == 2) {
            quotes = 0;
        }
    }
    return value;
}

}  // namespace

std::vector<CommandLineArgument> splitArguments(std::wstring_view arguments) {
    std::vector<CommandLineArgument> split;
    std::size_t at = 0;
    while (true) {
        while (at < arguments.size() && isBlank(arguments[at])) {
            ++at;
        }
        if (at == arguments.size()) {
            return split;
        }
        const std::size_t begin = at;
        auto value = readArgument(arguments, at);
        split.push_back({std::move(value), begin, at - begin});
    }
}

std::wstring keptArguments(std::wstring_view arguments,
                           const std::vector<CommandLineArgument>& split,
                           const std::vector<bool>& keep) {
    std::wstring result;
    std::size_t previousEnd = 0;
    for (std::size_t i = 0; i < split.size(); ++i) {
        const auto& argument = split[i];
        if (keep[i]) {
            const auto blanks = result.empty()
                                    ? arguments.substr(0, split.front().begin)
                                    : arguments.substr(previousEnd, argument.begin - previousEnd);
            result += blanks;
            result += arguments.substr(argument.begin, argument.length);
        }
        previousEnd = argument.begin + argument.length;
    }
    if (!result.empty()) {
        result += arguments.substr(previousEnd);
    }
    return result;
}

std::wstring programOfCommand(std::wstring_view command) {
    const auto split = splitArguments(command);
    if (split.empty()) {
        return {};
    }
    const auto& first = split.front();
    if (command[first.begin] != L'"') {
        const auto rest = command.substr(first.begin);
        const auto folded = foldedCase(rest);
        const auto extension = foldedCase(L".exe");
        for (auto at = folded.find(extension); at != std::wstring::npos;
             at = folded.find(extension, at + 1)) {
            const auto end = at + extension.size();
            if (end == rest.size() || isBlank(rest[end])) {
                return std::wstring(rest.substr(0, end));
            }
        }
    }
    return first.value;
}

}  // namespace tovask
