#include "repair/preferences/ChromiumSkim.h"

#include "repair/preferences/ChromiumJson.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace tovask {
namespace {

// What a byte is outside a string, and inside one.
enum class Outside : std::uint8_t { Value, Quote, Open, Close, Comma, Bad };
enum class Inside : std::uint8_t { Plain, End, Escape, Control, Multibyte };

constexpr std::array<Outside, 256> kOutside = [] {
    std::array<Outside, 256> table{};
    table.fill(Outside::Bad);
    for (const char c : std::string_view(" \t\r\n:-+.0123456789")) {
        table[static_cast<unsigned char>(c)] = Outside::Value;
    }
    for (int c = 'a'; c <= 'z'; ++c) {
        table[static_cast<std::size_t>(c)] = Outside::Value;
    }
    table['"'] = Outside::Quote;
    table['{'] = table['['] = Outside::Open;
    table['}'] = table[']'] = Outside::Close;
    table[','] = Outside::Comma;
    return table;
}();

constexpr std::array<Inside, 256> kInside = [] {
    std::array<Inside, 256> table{};
    for (std::size_t c = 0; c < 0x20; ++c) {
        table[c] = Inside::Control;
    }
    for (std::size_t c = 0x80; c < 0x100; ++c) {
        table[c] = Inside::Multibyte;
    }
    table['"'] = Inside::End;
    table['\\'] = Inside::Escape;
    return table;
}();

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

class Skim {
  public:
    explicit Skim(const std::string& text) : text_(text) {}

    // Past the string whose opening quote is at `at`; none when it is faulty.
    // The text's NUL after its end stops the scan of plain bytes.
    std::optional<std::size_t> stringEnd(std::size_t at, bool* escaped = nullptr) const {
        const auto* bytes = reinterpret_cast<const unsigned char*>(text_.data());
        for (std::size_t i = at + 1; i < text_.size();) {
            while (i + 8 <= text_.size() && plainWord(bytes + i)) {
                i += 8;
            }
            while (kInside[bytes[i]] == Inside::Plain) {
                ++i;
            }
            const auto kind = kInside[bytes[i]];
            if (kind == Inside::End) {
                return i + 1;
            }
            if (escaped != nullptr && kind == Inside::Escape) {
                *escaped = true;
            }
            const bool skipped = kind == Inside::Multibyte ? skipSequence(i)
                                 : kind == Inside::Escape  ? skipEscape(i)
                                                           : false;
            if (!skipped) {
                return std::nullopt;
            }
        }
        return std::nullopt;
    }

  private:
    // Whether eight bytes are all plain in a string, tested at once: no
    // quote, backslash, control byte or byte above ASCII among them.
    static bool plainWord(const unsigned char* at) {
        constexpr std::uint64_t kOnes = ~std::uint64_t{0} / 255;
        constexpr std::uint64_t kHighs = kOnes * 0x80;
        std::uint64_t word = 0;
        std::memcpy(&word, at, sizeof word);
        const auto zeroByte = [](std::uint64_t x) { return (x - kOnes) & ~x & kHighs; };
        const auto below = (word - kOnes * 0x20) & ~word & kHighs;
        return (below | zeroByte(word ^ (kOnes * '"')) | zeroByte(word ^ (kOnes * '\\')) |
                (word & kHighs)) == 0;
    }

    // One UTF-8 sequence of two to four bytes, as the standard allows it.
    bool skipSequence(std::size_t& i) const {
        const auto lead = static_cast<unsigned char>(text_[i]);
        const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if (lead < 0xC2 || lead > 0xF4 || i + length > text_.size()) {
            return false;
        }
        const auto second = static_cast<unsigned char>(text_[i + 1]);
        const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
        const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
        if (second < low || second > high) {
            return false;
        }
        for (std::size_t k = 2; k < length; ++k) {
            if ((static_cast<unsigned char>(text_[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += length;
        return true;
    }

    std::optional<unsigned> unitAt(std::size_t at) const {
        if (at + 6 > text_.size() || text_[at] != '\\' || text_[at + 1] != 'u') {
            return std::nullopt;
        }
        unsigned unit = 0;
        for (std::size_t k = at + 2; k < at + 6; ++k) {
            const char c = text_[k];
            const int digit = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                     : -1;
            if (digit < 0) {
                return std::nullopt;
            }
            unit = unit * 16 + static_cast<unsigned>(digit);
        }
        return unit;
    }

    // A \uNNNN escape stands alone, or a high surrogate's with its low one.
    bool skipEscape(std::size_t& i) const {
        if (i + 1 >= text_.size()) {
            return false;
        }
        if (std::string_view("\"\\/bfnrt").find(text_[i + 1]) != std::string_view::npos) {
            i += 2;
            return true;
        }
        const auto unit = unitAt(i);
        if (!unit || (*unit >= 0xDC00 && *unit <= 0xDFFF)) {
            return false;
        }
        if (*unit >= 0xD800 && *unit <= 0xDBFF) {
            const auto low = unitAt(i + 6);
            if (!low || *low < 0xDC00 || *low > 0xDFFF) {
                return false;
            }
            i += 6;
        }
        i += 6;
        return true;
    }

    std::string_view text_;
};

}  // namespace

std::optional<std::string> wantedMembersOf(const std::string& json,
                                           std::span<const std::string_view> wanted) {
    const Skim skim(json);
    std::size_t i = json.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    while (i < json.size() && isBlank(json[i])) {
        ++i;
    }
    if (i == json.size() || json[i] != '{') {
        return std::nullopt;
    }
    std::array<char, kChromiumDeepestNesting> closers{};
    std::size_t depth = 0;
    std::string members = "{";
    // The top-level member being read: where it starts, and whether it is wanted.
    std::size_t memberStart = 0;
    bool keep = false;
    bool expectName = false;
    const auto endMember = [&](std::size_t end) {
        if (keep) {
            auto member = std::string_view(json).substr(memberStart, end - memberStart);
            while (!member.empty() && isBlank(member.back())) {
                member.remove_suffix(1);
            }
            members += members.size() > 1 ? "," : "";
            members += member;
        }
        keep = false;
    };
    while (i < json.size()) {
        const char c = json[i];
        if (depth == 1 && expectName) {
            if (isBlank(c)) {
                ++i;
                continue;
            }
            expectName = false;
            if (c == '}') {
                continue;
            }
            bool escaped = false;
            const auto end = c == '"' ? skim.stringEnd(i, &escaped) : std::nullopt;
            if (!end || escaped) {
                return std::nullopt;
            }
            const auto name = json.substr(i + 1, *end - i - 2);
            memberStart = i;
            keep = std::ranges::find(wanted, name) != wanted.end();
            i = *end;
            continue;
        }
        switch (kOutside[static_cast<unsigned char>(c)]) {
            case Outside::Value:
                // The text's NUL after its end is no value's byte.
                while (kOutside[static_cast<unsigned char>(json[++i])] == Outside::Value) {
                }
                break;
            case Outside::Quote: {
                const auto end = skim.stringEnd(i);
                if (!end) {
                    return std::nullopt;
                }
                i = *end;
                break;
            }
            case Outside::Open:
                if (depth == kChromiumDeepestNesting) {
                    return std::nullopt;
                }
                closers[depth++] = c == '{' ? '}' : ']';
                expectName = depth == 1;
                ++i;
                break;
            case Outside::Close:
                if (depth == 0 || closers[depth - 1] != c) {
                    return std::nullopt;
                }
                if (depth == 1) {
                    endMember(i);
                }
                if (--depth == 0) {
                    for (++i; i < json.size() && isBlank(json[i]); ++i) {
                    }
                    return i == json.size() ? std::optional(members + "}") : std::nullopt;
                }
                ++i;
                break;
            case Outside::Comma:
                if (depth == 1) {
                    endMember(i);
                    expectName = true;
                }
                ++i;
                break;
            case Outside::Bad:
                return std::nullopt;
        }
    }
    return std::nullopt;
}

}  // namespace tovask
