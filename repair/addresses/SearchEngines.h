#pragma once

#include <string_view>

namespace tovask {

// Whether a host belongs to a search engine a browser offers of its own, told
// by its registrable domain: a brand followed by a top-level domain or by a
// country's second-level one ("google.es", "yahoo.co.jp", "www.bing.com"), or
// one of the engines' own domains or a name below it ("duckduckgo.com").
// "google.example.com" is not one. A trailing dot is ignored; case is not.
bool isKnownSearchHost(std::wstring_view host);

// Whether a search address is fetched from such an engine; false for an
// address that names no web server.
bool isKnownSearchAddress(std::wstring_view address);

}  // namespace tovask
