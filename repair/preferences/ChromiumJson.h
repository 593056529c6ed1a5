#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tovask {

// As deep as the browser's own reader nests objects and arrays.
inline constexpr std::size_t kChromiumDeepestNesting = 200;

// What reading a Chromium JSON file meets, in the text's order. Each offset
// counts bytes from the start of the text, byte order mark included. A text
// given to a call is decoded, and lives only for that call.
class ChromiumJsonEvents {
  public:
    virtual ~ChromiumJsonEvents() = default;

    // Just past its `{` or `[`.
    virtual void enter(bool array) = 0;
    // `closing` is the offset of its `}` or `]`.
    virtual void leave(std::size_t closing) = 0;
    // `start` is the offset of the name's opening quote.
    virtual void key(std::string_view name, std::size_t start) = 0;
    virtual void string(std::string_view) {}
    // As written.
    virtual void number(std::string_view) {}
    virtual void boolean(bool) {}
};

// Reads the text as the browser reads its preference files: a JSON object
// after an optional byte order mark, nested no deeper than the browser
// reads, without a NUL byte or a lone surrogate. False, possibly after some
// events, when the text is not so. The text is read in place, and changed.
bool readChromiumJson(std::string& json, ChromiumJsonEvents& events);

}  // namespace tovask
