#pragma once

#include <string_view>

namespace tovask {

// Whether one argument is a web address as a browser takes a bare argument:
// it starts with "http:", "https:", "www.", "data:" or "javascript:", or its
// host part (up to the first '/', '?', '#' or ':') is an IPv4 address of four
// decimal numbers or a host name: two or more dot-separated labels of letters,
// digits and inner hyphens, perhaps with the root's dot after them, the last
// one of two or more letters and not the extension of a local file
// ("page.html", "setup.exe"). So Windows paths, "file:" addresses and numbers
// with fewer dots are not web addresses.
bool isWebAddress(std::wstring_view argument);

// Whether a text, such as a script's command, holds a web address anywhere:
// "http://", "https://" or "www." within it, or a word that is one.
bool holdsWebAddress(std::wstring_view text);

}  // namespace tovask
