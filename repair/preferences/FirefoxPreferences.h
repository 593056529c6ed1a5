#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tovask {

// A preference that a Firefox preferences file sets: its name as the bytes
// its escapes stand for, and its statement's place in the file.
struct FirefoxTextPreference {
    std::string name;
    // A text as the bytes its escapes stand for; a number or true or false as
    // written, a number with its sign and without the blanks after it.
    std::string value;
    // Whether the value is a text.
    bool text = true;
    // From the statement's first byte to just past its `;`.
    std::size_t begin = 0;
    std::size_t end = 0;
};

// What a profile's `prefs.js` or `user.js` sets, in the file's order, read
// as Firefox reads it: each statement `user_pref("name", value);`, with
// blanks and `#`, `//` or `/* */` comments between its parts, a text in
// either quote with the escapes \" \' \\ \n \r \xNN and \uNNNN (a
// surrogate pair joined), a whole number in Firefox's 32-bit range with its
// sign or none, `true` or `false`. As Firefox does, a statement with any fault
// (another escape, a lone surrogate, an escaped NUL, a stray character) is
// passed over up to its `;`, and a NUL byte ends the file. With names given,
// only the statements that set one of them (a profile sets thousands).
std::vector<FirefoxTextPreference> readFirefoxTextPreferences(
    std::string_view file, std::span<const std::string_view> onlyNames = {});

// The file without the given statements, every other byte as it was; a
// statement that leaves its line blank takes the line, and its end ("\n" or
// "\r\n"), with it.
std::string withoutStatements(std::string_view file,
                              std::span<const FirefoxTextPreference> statements);

}  // namespace tovask
