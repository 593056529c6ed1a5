#include "repair/preferences/FirefoxPreferences.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <utility>

#include "text/Utf8.h"

namespace tovask {
namespace {

// Firefox reads a NUL as the end of the file.
constexpr char kEnd = '\0';
// Firefox passes over the byte order mark that Notepad writes.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// A token's shape: a word's spelling, a mark's character, kText for a quoted
// text, kNumber for a whole number's digits; empty for whatever never belongs
// to a statement (a stray character, a broken text or comment, digits run
// into a word).
constexpr std::string_view kText = "\"";
constexpr std::string_view kNumber = "0";
constexpr std::string_view kMarks = "(),;+-";
// The one statement a profile's own files may hold: Firefox refuses `pref`
// and `sticky_pref` there, which only its default files may use. Its value
// comes between the comma and the closing parenthesis.
constexpr std::array<std::string_view, 4> kStatementStart = {"user_pref", "(", kText, ","};
constexpr std::string_view kStatementEnd = ")";
constexpr std::size_t kNamePlace = 2;

// The values a statement may set, by the shapes of their tokens: a sign
// token, when there is one, and the value's own.
struct ValueForm {
    std::string_view sign;
    std::string_view value;
};
constexpr std::array<ValueForm, 6> kValueForms = {
    {{"", kText}, {"", "true"}, {"", "false"}, {"", kNumber}, {"+", kNumber}, {"-", kNumber}}};
constexpr std::size_t kLongestStatement = kStatementStart.size() + 3;
// The largest number Firefox takes, and with a minus sign: a 32-bit integer's.
constexpr std::string_view kLargestNumber = "2147483647";
constexpr std::string_view kLargestNegatedNumber = "2147483648";

// The escapes that stand for one character, and that character.
constexpr std::string_view kEscapeLetters = "\"'\\nr";
constexpr std::string_view kEscapedCharacters = "\"'\\\n\r";

constexpr std::uint32_t kSurrogateMask = 0xFC00;
constexpr std::uint32_t kHighSurrogates = 0xD800;
constexpr std::uint32_t kLowSurrogates = 0xDC00;

// Views into the file, so that the thousands of statements a profile holds
// cost no copies; a text with escapes is a view into the bytes they stand
// for, which the reader keeps.
struct Token {
    explicit Token(std::string_view shape = {}) : shape(shape) {}

    std::string_view shape;
    // As written; for a quoted text, the bytes between its quotes or, with
    // escapes, the bytes they stand for.
    std::string_view text{};
    std::size_t begin = 0;
};

bool isWordCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

// The blanks and line ends Firefox passes over between tokens.
bool isWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDecimalDigit(char c) {
    return c >= '0' && c <= '9';
}

// The bytes that begin a `;`, a comment or a text: only those can end a
// statement or hide its end.
constexpr std::array<bool, 256> kMayHideOrEndAStatement = [] {
    std::array<bool, 256> table{};
    for (const char c : std::string_view(";#/\"'")) {
        table[static_cast<unsigned char>(c)] = true;
    }
    return table;
}();

// Splits the file into the tokens Firefox's reader sees; a token is read
// through peek and take, which give kEnd at the end of the file.
class PreferenceTokens {
  public:
    explicit PreferenceTokens(std::string_view file)
        : file_(file.substr(0, file.find(kEnd))),
          at_(file_.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0) {}

    // None at the end of the file.
    std::optional<Token> next() {
        auto token = nextShaped();
        if (token) {
            token->begin = start_;
            if (token->shape != kText) {
                token->text = file_.substr(start_, at_ - start_);
            }
        }
        return token;
    }

    // The next `;` token, passing over everything before it as next() would
    // read it; none at the end of the file. Only a comment or a text can hide
    // a `;`, and every other token is made of bytes that begin neither, so
    // those are passed a byte at a time.
    std::optional<Token> statementEnd() {
        for (;;) {
            while (at_ < file_.size() &&
                   !kMayHideOrEndAStatement[static_cast<unsigned char>(file_[at_])]) {
                ++at_;
            }
            if (at_ == file_.size()) {
                return std::nullopt;
            }
            auto token = next();
            if (!token || token->shape == ";") {
                return token;
            }
        }
    }

    // Passes over the start of a statement written `user_pref("name"`, with
    // no escape in the name and a name not asked for, as next() would read
    // its tokens: most of a profile's statements are so, and only their `;`
    // is left to find. False for any other start, with only blanks read.
    bool passedUnaskedStart(std::span<const std::string_view> onlyNames) {
        while (at_ < file_.size() && isWhiteSpace(file_[at_])) {
            ++at_;
        }
        constexpr std::string_view kCompactStart = "user_pref(\"";
        if (onlyNames.empty() || !file_.substr(at_).starts_with(kCompactStart)) {
            return false;
        }
        const auto nameStart = at_ + kCompactStart.size();
        const auto nameEnd = firstOf(nameStart, '"', '\\');
        if (nameEnd == file_.size() || file_[nameEnd] != '"' ||
            std::ranges::find(onlyNames, file_.substr(nameStart, nameEnd - nameStart)) !=
                onlyNames.end()) {
            return false;
        }
        at_ = nameEnd + 1;
        return true;
    }

  private:
    // The token with its shape, and `start_` at its first byte.
    std::optional<Token> nextShaped() {
        for (;;) {
            start_ = at_;
            const char c = take();
            if (c == kEnd) {
                return std::nullopt;
            }
            if (c == '#' || (c == '/' && takeIf('/'))) {
                at_ = firstOf(at_, '\r', '\n');
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
            } else if (isWordCharacter(c)) {
                while (isWordCharacter(peek())) {
                    take();
                }
                return Token(file_.substr(start_, at_ - start_));
            } else if (isDecimalDigit(c)) {
                while (isDecimalDigit(peek())) {
                    take();
                }
                // Firefox refuses digits that a word's letter follows.
                return Token(isWordCharacter(peek()) ? "" : kNumber);
            } else if (!isWhiteSpace(c)) {
                return Token(kMarks.find(c) != std::string_view::npos ? file_.substr(start_, 1)
                                                                      : "");
            }
        }
    }

    // Where either byte comes first from `from` on, or the file's end: a
    // profile's file is mostly long texts and comments, read byte by byte.
    std::size_t firstOf(std::size_t from, char one, char other) const {
        while (from < file_.size() && file_[from] != one && file_[from] != other) {
            ++from;
        }
        return from;
    }

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
        Token token(kText);
        const auto textStart = at_;
        const auto stop = firstOf(at_, quote, '\\');
        if (stop == file_.size()) {
            at_ = file_.size();
            return Token();
        }
        at_ = stop + 1;
        if (file_[stop] == quote) {
            token.text = file_.substr(textStart, stop - textStart);
            return token;
        }
        std::string bytes(file_.substr(textStart, stop - textStart));
        for (char c = '\\'; c != quote; c = take()) {
            if (c == kEnd) {
                return Token();
            }
            if (c != '\\') {
                bytes += c;
            } else if (!escape(bytes)) {
                token.shape = {};
            }
        }
        token.text = unescaped_.emplace_back(std::move(bytes));
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
    std::size_t at_;
    std::size_t start_ = 0;
    // Where the tokens' views of texts with escapes point; a deque's items
    // stay where they are as it grows.
    std::deque<std::string> unescaped_;
};

bool withinFirefoxRange(std::string_view sign, std::string_view digits) {
    const auto largest = sign == "-" ? kLargestNegatedNumber : kLargestNumber;
    digits.remove_prefix(std::min(digits.find_first_not_of('0'), digits.size()));
    return digits.size() < largest.size() || (digits.size() == largest.size() && digits <= largest);
}

// The preference a statement's tokens set, up to its `;`; none when they are
// not a statement Firefox takes.
std::optional<FirefoxTextPreference> preferenceOf(std::span<Token> statement, std::size_t end,
                                                  std::span<const std::string_view> onlyNames) {
    if (statement.size() < kStatementStart.size() + 2 ||
        !std::ranges::equal(statement.first(kStatementStart.size()), kStatementStart, {},
                            &Token::shape) ||
        statement.back().shape != kStatementEnd) {
        return std::nullopt;
    }
    const auto name = statement[kNamePlace].text;
    if (!onlyNames.empty() && std::ranges::find(onlyNames, name) == onlyNames.end()) {
        return std::nullopt;
    }
    const auto value =
        statement.subspan(kStatementStart.size(), statement.size() - kStatementStart.size() - 1);
    const auto form = std::ranges::find_if(kValueForms, [&](const ValueForm& form) {
        return form.sign.empty() ? value.size() == 1 && value[0].shape == form.value
                                 : value.size() == 2 && value[0].shape == form.sign &&
                                       value[1].shape == form.value;
    });
    if (form == kValueForms.end() ||
        (form->value == kNumber && !withinFirefoxRange(form->sign, value.back().text))) {
        return std::nullopt;
    }
    FirefoxTextPreference preference{.name = std::string(name),
                                     .value = {},
                                     .text = form->value == kText,
                                     .begin = statement.front().begin,
                                     .end = end};
    for (const auto& token : value) {
        preference.value += token.text;
    }
    return preference;
}

// Whether the statement's tokens so far may still begin one that sets one of
// the names asked for: a profile's file is thousands of statements, and
// those need only their `;` found.
bool mayStillSetAName(std::span<const Token> statement,
                      std::span<const std::string_view> onlyNames) {
    const auto last = statement.size() - 1;
    if (last < kStatementStart.size() && statement[last].shape != kStatementStart[last]) {
        return false;
    }
    return last != kNamePlace || onlyNames.empty() ||
           std::ranges::find(onlyNames, statement[last].text) != onlyNames.end();
}

// The blanks Firefox passes over within a line.
constexpr std::string_view kLineBlanks = " \t\v\f";

bool isBlank(std::string_view text) {
    return text.find_first_not_of(kLineBlanks) == std::string_view::npos;
}

}  // namespace

std::vector<FirefoxTextPreference> readFirefoxTextPreferences(
    std::string_view file, std::span<const std::string_view> onlyNames) {
    std::vector<FirefoxTextPreference> found;
    PreferenceTokens tokens(file);
    // The tokens of the statement so far. One with any fault is passed over
    // up to its `;`, as Firefox recovers, and so is one that can no longer
    // set a name asked for.
    std::vector<Token> statement;
    bool passingOver = false;
    for (;;) {
        passingOver = passingOver || (statement.empty() && tokens.passedUnaskedStart(onlyNames));
        auto token = passingOver ? tokens.statementEnd() : tokens.next();
        if (!token) {
            break;
        }
        if (token->shape == ";") {
            auto preference =
                passingOver ? std::nullopt : preferenceOf(statement, token->begin + 1, onlyNames);
            if (preference) {
                found.push_back(std::move(*preference));
            }
            statement.clear();
            passingOver = false;
        } else if (token->shape.empty() || statement.size() == kLongestStatement) {
            passingOver = true;
        } else {
            statement.push_back(*token);
            passingOver = !mayStillSetAName(statement, onlyNames);
        }
    }
    return found;
}

std::string withoutStatements(std::string_view file,
                              std::span<const FirefoxTextPreference> statements) {
    const std::size_t byteOrderMark = file.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
    std::vector<const FirefoxTextPreference*> sorted(statements.size());
    std::ranges::transform(statements, sorted.begin(),
                           [](const FirefoxTextPreference& statement) { return &statement; });
    std::ranges::sort(sorted, {}, &FirefoxTextPreference::begin);
    // Each statement's bytes; one that does not lie within the file's text,
    // or within the one before it, is no statement the file holds.
    std::vector<std::pair<std::size_t, std::size_t>> cuts;
    for (const auto* statement : sorted) {
        if (byteOrderMark <= statement->begin && statement->begin < statement->end &&
            statement->end <= file.size() &&
            (cuts.empty() || cuts.back().second <= statement->begin)) {
            cuts.emplace_back(statement->begin, statement->end);
        }
    }
    std::string edited;
    std::size_t keptFrom = 0;
    for (std::size_t first = 0; first < cuts.size();) {
        const auto lineBreakBefore = cuts[first].first == 0
                                         ? std::string_view::npos
                                         : file.rfind('\n', cuts[first].first - 1);
        const auto lineStart =
            lineBreakBefore == std::string_view::npos ? byteOrderMark : lineBreakBefore + 1;
        // The statements on the lines this one spans or shares, and whether
        // only blanks are left on them.
        bool blank = isBlank(file.substr(lineStart, cuts[first].first - lineStart));
        std::size_t last = first;
        auto lineBreak = file.find('\n', cuts[last].second);
        while (last + 1 < cuts.size() && cuts[last + 1].first <= lineBreak) {
            blank = blank && isBlank(file.substr(cuts[last].second,
                                                 cuts[last + 1].first - cuts[last].second));
            lineBreak = file.find('\n', cuts[++last].second);
        }
        const auto lineEnd = std::min(lineBreak, file.size());
        const auto textEnd =
            lineEnd > cuts[last].second && file[lineEnd - 1] == '\r' ? lineEnd - 1 : lineEnd;
        if (blank && isBlank(file.substr(cuts[last].second, textEnd - cuts[last].second))) {
            edited += file.substr(keptFrom, lineStart - keptFrom);
            keptFrom = lineBreak == std::string_view::npos ? file.size() : lineBreak + 1;
        } else {
            for (std::size_t at = first; at <= last; ++at) {
                edited += file.substr(keptFrom, cuts[at].first - keptFrom);
                keptFrom = cuts[at].second;
            }
        }
        first = last + 1;
    }
    edited += file.substr(keptFrom);
    return edited;
}

}  // namespace tovask
