#pragma once

#include <string_view>

namespace tovask {

// The blanks that separate the words of a command line or a value.
inline constexpr std::wstring_view kBlanks = L" \t";
// Blanks and line ends: what may stand around a value read from a file.
inline constexpr std::wstring_view kWhitespace = L" \t\r\n";

inline bool isBlank(wchar_t c) {
    return kBlanks.find(c) != std::wstring_view::npos;
}

// The text without the given characters at either end; empty when it holds nothing else.
inline std::wstring_view trimmed(std::wstring_view text, std::wstring_view blanks = kBlanks) {
    const auto first = text.find_first_not_of(blanks);
    if (first == std::wstring_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace tovask
