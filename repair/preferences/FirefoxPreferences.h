#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tovask {

// A preference that a Firefox preferences file sets to a text: both as the
// bytes its escapes stand for.
struct FirefoxTextPreference {
    std::string name;
    std::string value;
};

// The texts that a profile's `prefs.js` or `user.js` sets, in the file's
// order, read as Firefox reads them: each statement `user_pref("name",
// "value");`, with blanks and `#`, `//` or `/* */` comments between its parts,
// a text in either quote with the escapes \" \' \\ \n \r \xNN and \uNNNN (a
// surrogate pair joined). As Firefox does, a statement with any fault
// (another escape, a lone surrogate, an escaped NUL, a stray character) is
// passed over up to its `;`, and a NUL byte ends the file.
std::vector<FirefoxTextPreference> readFirefoxTextPreferences(std::string_view file);

}  // namespace tovask
