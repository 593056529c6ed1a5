#pragma once

#include <span>
#include <string>
#include <string_view>

namespace tovask {

// Registry names and file paths compare without regard to case.
bool equalsIgnoringCase(std::wstring_view a, std::wstring_view b);
bool startsWithIgnoringCase(std::wstring_view text, std::wstring_view prefix);
bool endsWithIgnoringCase(std::wstring_view text, std::wstring_view suffix);
bool containsIgnoringCase(std::wstring_view text, std::wstring_view part);
// Whether any of `names` is `name`, as Windows compares them.
bool isAmongIgnoringCase(std::span<const std::wstring> names, std::wstring_view name);

// The text in one case, for use as a key of a map or set.
std::wstring foldedCase(std::wstring_view text);

}  // namespace tovask
