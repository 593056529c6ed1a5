#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tovask {

// The top-level members of a Chromium preferences text whose names are
// `wanted`, as one small JSON object in the text's order, found in one fast
// pass over a file of tens of MiB. The pass checks the rest of the text for
// what a browser's reader refuses outright (objects and arrays that do not
// pair or lie deeper than 200, an unclosed string, a NUL, a control
// character in a string, bytes that are not UTF-8, a lone surrogate escape,
// anything after the top object) but not the order of every comma and
// colon. None when it meets such a fault, or a top-level name with an
// escape: then the whole text goes to the full reader.
std::optional<std::string> wantedMembersOf(const std::string& json,
                                           std::span<const std::string_view> wanted);

}  // namespace tovask
