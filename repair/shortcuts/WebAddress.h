#pragma once

#include <string_view>

namespace tovask {

// Whether one argument is a web address as a browser takes a bare argument:
// it starts with "http:", "https:" or "www.", or its host part (up to the first
// '/', '?', '#' or ':') is a host name: two or more dot-separated labels of
// letters, digits and inner hyphens, the last one of two or more letters and
// not the extension of a local file ("page.html", "setup.exe"). So Windows
// paths, "file:" addresses, numbers with dots and bare IP addresses are not
// web addresses.
bool isWebAddress(std::wstring_view argument);

// Whether a text, such as a script's command, holds a web address anywhere:
// "http://", "https://" or "www." within it, or a word that is one.
bool holdsWebAddress(std::wstring_view text);

}  // namespace tovask
