#include "repair/preferences/FirefoxPreferences.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

#include "text/Utf8.h"

namespace tovask {
namespace {

// Firefox reads a NUL as the end of the file.
constexpr char kEnd = '\0';
// Firefox passes over the byte order mark that Notepad writes.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// A token's shape: a word's spelling, a mark's character, kText for a quoted
// text; empty for whatever never belongs to a text preference (a number, a
// stray character, a broken text or comment).
constexpr std::string_view kText = "\"";
constexpr std::string_view kMarks = "(),;+-";
// The one statement a profile's own files may hold: Firefox refuses `pref`
// and `sticky_pref` there, which only its default files may use.
constexpr std::array<std::string_view, 6> kStatement = {"user_pref", "(", kText, ",", kText, ")"};
constexpr std::size_t kNamePlace = 2;

// The escapes that stand for one character, and that character.
constexpr std::string_view kEscapeLetters = "\"'\\nr";
constexpr std::string_view kEscapedCharacters = "\"'\\\n\r";

constexpr std::uint32_t kSurrogateMask = 0xFC00;
constexpr std::uint32_t kHighSurrogates = 0xD800;
constexpr std::uint32_t kLowSurrogates = 0xDC00;

struct Token {
    std::string shape;
    std::string text;
};

bool isWordCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool isDecimalDigit(char c) {
    return c >= '0' && c <= '9';
}

// Splits the file into the tokens Firefox's reader sees; every read goes
// through peek and take, which give kEnd at the end of the file.
class PreferenceTokens {
  public:
    explicit PreferenceTokens(std::string_view file) {
        if (file.starts_with(kByteOrderMark)) {
            file.remove_prefix(kByteOrderMark.size());
        }
        file_ = file.substr(0, file.find(kEnd));
    }

    // None at the end of the file.
    std::optional<Token> next() {
        for (;;) {
            const char c = take();
            if (c == kEnd) {
                return std::nullopt;
            }
            if (c == '#' || (c == '/' && takeIf('/'))) {
                at_ = std::min(file_.find_first_of("\r\n", at_), file_.size());
            } else if (c == '/' && takeIf('*')) {
                const auto close = file_.find("*/", at_);
                at_ = close == std::string_view::npos ? file_.size() : close + 2;
                if (close == std::string_view::npos) {
                    return Token{};
                }
            } else if (c == '/') {
                // A lone slash takes the character after it, unless that ends the line.
                if (peek() != '\n' && peek() != '\r') {
                    take();
                }
                return Token{};
            } else if (c == '"' || c == '\'') {
                return quoted(c);
            } else if (isWordCharacter(c) || isDecimalDigit(c)) {
                const auto start = at_ - 1;
                const auto belongs = isDecimalDigit(c) ? isDecimalDigit : isWordCharacter;
                while (belongs(peek())) {
                    take();
                }
                return Token{isDecimalDigit(c) ? "" : std::string(file_.substr(start, at_ - start)),
                             {}};
            } else if (std::string_view(" \t\n\v\f\r").find(c) == std::string_view::npos) {
                return Token{kMarks.find(c) != std::string_view::npos ? std::string(1, c) : "", {}};
            }
        }
    }

  private:
    char peek() const { return at_ < file_.size() ? file_[at_] : kEnd; }
    char take() { return at_ < file_.size() ? file_[at_++] : kEnd; }
    bool takeIf(char wanted) {
        if (peek() != wanted) {
            return false;
        }
        ++at_;
        return true;
    }

    // A quoted text after its opening quote. Left open, or holding an escape
    // Firefox refuses, it has no shape, and it is read to its end all the same.
    Token quoted(char quote) {
        Token token{std::string(kText), {}};
        for (char c = take(); c != quote; c = take()) {
            if (c == kEnd) {
                return {};
            }
            if (c != '\\') {
                token.text += c;
            } else if (!escape(token.text)) {
                token.shape.clear();
            }
        }
        return token;
    }

    // The escape after a backslash, onto `bytes`.
    bool escape(std::string& bytes) {
        const char c = peek();
        // A line break after the backslash stays in the text.
        if (c == '\n' || c == '\r') {
            return false;
        }
        take();
        if (const auto at = kEscapeLetters.find(c); at != std::string_view::npos) {
            bytes += kEscapedCharacters[at];
            return true;
        }
        if (c == 'x') {
            const auto byte = hexDigits(2).value_or(0);
            bytes += static_cast<char>(byte);
            return byte != 0;
        }
        return c == 'u' && unicodeEscape(bytes);
    }

    // \uNNNN, a UTF-16 unit written as UTF-8; a high surrogate takes the
    // \uNNNN of its low one right after it.
    bool unicodeEscape(std::string& bytes) {
        const auto unit = hexDigits(4);
        if (!unit || *unit == 0 || (*unit & kSurrogateMask) == kLowSurrogates) {
            return false;
        }
        std::wstring units(1, static_cast<wchar_t>(*unit));
        if ((*unit & kSurrogateMask) == kHighSurrogates) {
            // Firefox takes the backslash that follows even when no "u" comes after it.
            const auto low = takeIf('\\') && takeIf('u') ? hexDigits(4) : std::nullopt;
            if (!low || (*low & kSurrogateMask) != kLowSurrogates) {
                return false;
            }
            units += static_cast<wchar_t>(*low);
        }
        bytes += utf8FromWide(units);
        return true;
    }

    // `count` hex digits; none when another character comes first, which is left unread.
    std::optional<std::uint32_t> hexDigits(int count) {
        constexpr std::string_view kDigits = "0123456789abcdefABCDEF";
        std::uint32_t value = 0;
        for (int i = 0; i < count; ++i) {
            const auto digit = kDigits.find(peek());
            if (digit == std::string_view::npos) {
                return std::nullopt;
            }
            take();
            value = value << 4 | static_cast<std::uint32_t>(digit < 16 ? digit : digit - 6);
        }
        return value;
    }

    std::string_view file_;
    std::size_t at_ = 0;
};

}  // namespace

std::vector<FirefoxTextPreference> readFirefoxTextPreferences(std::string_view file) {
    std::vector<FirefoxTextPreference> found;
    PreferenceTokens tokens(file);
    // How many tokens of the statement so far fit; a faulty statement is
    // passed over up to its `;`, as Firefox recovers.
    std::size_t fitting = 0;
    bool faulty = false;
    FirefoxTextPreference preference;
    while (auto token = tokens.next()) {
        if (token->shape == ";") {
            if (!faulty && fitting == kStatement.size()) {
                found.push_back(std::move(preference));
            }
            fitting = 0;
            faulty = false;
        } else if (!faulty && fitting < kStatement.size() && token->shape == kStatement[fitting]) {
            if (token->shape == kText) {
                (fitting == kNamePlace ? preference.name : preference.value) =
                    std::move(token->text);
            }
            ++fitting;
        } else {
            faulty = true;
        }
    }
    return found;
}

}  // namespace tovask
