#include "text/CommandLineWords.h"

namespace tovask {
namespace {

bool isBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

std::size_t afterProgramName(std::wstring_view line) {
    if (!line.empty() && line[0] == L'"') {
        const auto closing = line.find(L'"', 1);
        return closing == std::wstring_view::npos ? line.size() : closing + 1;
    }
    std::size_t at = 0;
    while (at < line.size() && !isBlank(line[at])) {
        ++at;
    }
    return at;
}

}  // namespace

std::vector<std::wstring> argumentsAfterProgram(std::wstring_view line) {
    std::vector<std::wstring> arguments;
    std::size_t at = afterProgramName(line);
    for (;;) {
        while (at < line.size() && isBlank(line[at])) {
            ++at;
        }
        if (at == line.size()) {
            return arguments;
        }
        std::wstring argument;
        bool quoted = false;
        while (at < line.size() && (quoted || !isBlank(line[at]))) {
            if (line[at] == L'\\') {
                std::size_t backslashes = 0;
                while (at < line.size() && line[at] == L'\\') {
                    ++backslashes;
                    ++at;
                }
                const bool beforeQuote = at < line.size() && line[at] == L'"';
                argument.append(beforeQuote ? backslashes / 2 : backslashes, L'\\');
                if (beforeQuote && backslashes % 2 == 1) {
                    argument.push_back(L'"');
                    ++at;
                }
            } else if (line[at] == L'"') {
                if (quoted && at + 1 < line.size() && line[at + 1] == L'"') {
                    argument.push_back(L'"');
                    at += 2;
                } else {
                    quoted = !quoted;
                    ++at;
                }
            } else {
                argument.push_back(line[at++]);
            }
        }
        arguments.push_back(std::move(argument));
    }
}

}  // namespace tovask
