#include "text/TextCompare.h"

#include <algorithm>
#include <cwctype>

namespace tovask {
namespace {

// Nearly every letter of a registry name or a path is ASCII, and folding
// those here spares a call into the C runtime for each (tens of thousands in
// a run).
wchar_t upper(wchar_t c) {
    if (c < 0x80) {
        return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
    }
    return static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
}

}  // namespace

bool equalsIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return std::ranges::equal(a, b, [](wchar_t x, wchar_t y) { return upper(x) == upper(y); });
}

bool startsWithIgnoringCase(std::wstring_view text, std::wstring_view prefix) {
    return text.size() >= prefix.size() &&
           equalsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

bool endsWithIgnoringCase(std::wstring_view text, std::wstring_view suffix) {
    return text.size() >= suffix.size() &&
           equalsIgnoringCase(text.substr(text.size() - suffix.size()), suffix);
}

bool containsIgnoringCase(std::wstring_view text, std::wstring_view part) {
    return foldedCase(text).find(foldedCase(part)) != std::wstring::npos;
}

bool isAmongIgnoringCase(std::span<const std::wstring> names, std::wstring_view name) {
    return std::ranges::any_of(
        names, [&](const std::wstring& each) { return equalsIgnoringCase(each, name); });
}

std::wstring foldedCase(std::wstring_view text) {
    std::wstring result(text);
    std::ranges::transform(result, result.begin(), upper);
    return result;
}

}  // namespace tovask
