#include "repair/preferences/ChromiumSkim.h"

#include "repair/preferences/ChromiumJson.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
#include <tmmintrin.h>
#define TOVASK_BLOCKS_OF_32 1
#endif

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

using Closers = std::array<char, kChromiumDeepestNesting>;

bool open(char c, Closers& closers, std::size_t& depth) {
    if (depth == kChromiumDeepestNesting) {
        return false;
    }
    closers[depth++] = c == '{' ? '}' : ']';
    return true;
}

// How a scan below the top level goes on: past a byte, at the closer of the
// top-level member's value (kept for the top level to read), or at a fault.
enum class Step { On, Closed, Fault };

Step close(char c, const Closers& closers, std::size_t& depth) {
    if (closers[depth - 1] != c) {
        return Step::Fault;
    }
    if (depth == 2) {
        return Step::Closed;
    }
    --depth;
    return Step::On;
}

#ifdef TOVASK_BLOCKS_OF_32
// Every processor made since 2011 that runs Windows has SSSE3, whose byte
// shuffle classifies 16 bytes in two table lookups; on an older one the pass
// goes a byte at a time. The 32-bit program asks while its statics are made,
// when the processor's features are known only once asked for.
const bool kHasSsse3 = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("ssse3") != 0;
}();

// A byte's classes, each a bit set in the entries of both its low and its
// high four bits: every class below is a box of high halves by low halves.
namespace classes {
constexpr std::uint8_t kBlank = 0x01;         // tab, line feed, carriage return
constexpr std::uint8_t kPunctuation = 0x02;   // space, quote, "+,-."
constexpr std::uint8_t kDigitOrColon = 0x04;  // 0 to 9 and ":"
constexpr std::uint8_t kBracket = 0x08;       // [ ] { }
constexpr std::uint8_t kLetterToO = 0x10;     // a to o
constexpr std::uint8_t kLetterFromP = 0x20;   // p to z
constexpr std::uint8_t kControl = 0x40;       // below a space
constexpr std::uint8_t kBackslash = 0x80;
// What a number, a literal, a blank, a comma, a colon, a bracket or a
// string's quote holds: every byte allowed between strings.
constexpr std::uint8_t kBetweenStrings = 0x3F;
}  // namespace classes

constexpr std::array<std::uint8_t, 16> kByLowHalf = [] {
    using namespace classes;
    std::array<std::uint8_t, 16> table{};
    for (std::size_t low = 0; low < 16; ++low) {
        auto& entry = table[low];
        entry = kControl;
        entry |= low == 0x9 || low == 0xA || low == 0xD ? kBlank : 0;
        entry |= low == 0x0 || low == 0x2 || (low >= 0xB && low <= 0xE) ? kPunctuation : 0;
        entry |= low <= 0xA ? kDigitOrColon | kLetterFromP : 0;
        entry |= low == 0xB || low == 0xD ? kBracket : 0;
        entry |= low >= 0x1 ? kLetterToO : 0;
        entry |= low == 0xC ? kBackslash : 0;
    }
    return table;
}();

constexpr std::array<std::uint8_t, 16> kByHighHalf = [] {
    using namespace classes;
    std::array<std::uint8_t, 16> table{};
    table[0x0] = kBlank | kControl;
    table[0x1] = kControl;
    table[0x2] = kPunctuation;
    table[0x3] = kDigitOrColon;
    table[0x5] = kBracket | kBackslash;
    table[0x6] = kLetterToO;
    table[0x7] = kLetterFromP | kBracket;
    return table;
}();

#pragma GCC push_options
#pragma GCC target("ssse3")

[[gnu::always_inline]] inline std::uint32_t bitsOf(__m128i low, __m128i high) {
    return static_cast<std::uint32_t>(_mm_movemask_epi8(low)) |
           static_cast<std::uint32_t>(_mm_movemask_epi8(high)) << 16;
}

// What each of 32 bytes is, one bit per byte, the first byte lowest.
struct BlockBits {
    std::uint32_t quotes;
    std::uint32_t unusual;   // a backslash, or a byte above ASCII
    std::uint32_t brackets;  // [ ] { }
    std::uint32_t control;   // below a space
    std::uint32_t foreign;   // what no number, literal, blank, comma or colon holds
};

// Each class moved to its byte's top bit, where a mask of the 16 bytes reads it.
struct Classes {
    __m128i quotes, unusual, brackets, control, foreign;
};

[[gnu::always_inline]] inline Classes classesOf(__m128i bytes) {
    const __m128i halves = _mm_set1_epi8(0x0F);
    const __m128i byLow = _mm_loadu_si128(reinterpret_cast<const __m128i*>(kByLowHalf.data()));
    const __m128i byHigh = _mm_loadu_si128(reinterpret_cast<const __m128i*>(kByHighHalf.data()));
    const __m128i found =
        _mm_and_si128(_mm_shuffle_epi8(byLow, _mm_and_si128(bytes, halves)),
                      _mm_shuffle_epi8(byHigh, _mm_and_si128(_mm_srli_epi16(bytes, 4), halves)));
    return {_mm_cmpeq_epi8(bytes, _mm_set1_epi8('"')),
            // The backslash's bit is the top one, as is a byte above ASCII's.
            _mm_or_si128(bytes, found),
            // The bracket's and the control's bits moved to the top; what a
            // shift of 16-bit lanes carries into the next byte stays below its top.
            _mm_slli_epi16(found, 4), _mm_add_epi8(found, found),
            _mm_cmpeq_epi8(_mm_and_si128(found, _mm_set1_epi8(classes::kBetweenStrings)),
                           _mm_setzero_si128())};
}

[[gnu::always_inline]] inline BlockBits bitsAt(const char* at) {
    const auto low = classesOf(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at)));
    const auto high = classesOf(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 16)));
    return {bitsOf(low.quotes, high.quotes), bitsOf(low.unusual, high.unusual),
            bitsOf(low.brackets, high.brackets), bitsOf(low.control, high.control),
            bitsOf(low.foreign, high.foreign)};
}

// The place of the lowest bit set, 32 when none is: std::countr_zero, which
// a build for size leaves uninlined.
[[gnu::always_inline]] inline int lowestBit(std::uint32_t bits) {
    return bits == 0 ? 32 : __builtin_ctz(bits);
}

// Each bit set where an odd number of the bits up to it are set: which bytes
// lie between an opening quote (included) and its closing one.
[[gnu::always_inline]] inline std::uint32_t betweenQuotes(std::uint32_t quotes) {
    quotes ^= quotes << 1;
    quotes ^= quotes << 2;
    quotes ^= quotes << 4;
    quotes ^= quotes << 8;
    return quotes ^ quotes << 16;
}

// The scan of 32 bytes at a time from `i`, as long as they hold no escape and
// no byte above ASCII: where it stops, and why (On: at such bytes, or where
// fewer than 32 are left).
Step scanBlocks(std::string_view text, std::size_t& i, bool& inString, Closers& closers,
                std::size_t& depth) {
    for (; i + 32 <= text.size(); i += 32) {
        const auto bits = bitsAt(text.data() + i);
        if (bits.unusual != 0) {
            return Step::On;
        }
        const auto strings = betweenQuotes(bits.quotes) ^ (inString ? ~std::uint32_t{0} : 0);
        const auto outside = ~strings & ~bits.quotes;
        const auto faults = (strings & bits.control) | (outside & bits.foreign);
        const auto firstFault = lowestBit(faults);
        for (auto brackets = bits.brackets & outside; brackets != 0; brackets &= brackets - 1) {
            const auto k = lowestBit(brackets);
            const char c = text[i + static_cast<std::size_t>(k)];
            const auto step = k > firstFault ? Step::Fault
                              : c == '{' || c == '['
                                  ? (open(c, closers, depth) ? Step::On : Step::Fault)
                                  : close(c, closers, depth);
            if (step != Step::On) {
                i += step == Step::Closed ? static_cast<std::size_t>(k) : 0;
                return step;
            }
        }
        if (faults != 0) {
            return Step::Fault;
        }
        inString = (strings >> 31) != 0;
    }
    return Step::On;
}

#pragma GCC pop_options
#endif

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

    // Where the array or object that a top-level member's value opens
    // closes, from `i` just past its opening, with `depth` arrays and objects
    // open in `closers`: the closer is left for the top level to read. None
    // at a fault.
    std::optional<std::size_t> closeOfMember(std::size_t i, Closers& closers,
                                             std::size_t& depth) const {
        bool inString = false;
        while (i < text_.size()) {
#ifdef TOVASK_BLOCKS_OF_32
            if (kHasSsse3 && i + 32 <= text_.size()) {
                const auto step = scanBlocks(text_, i, inString, closers, depth);
                if (step != Step::On) {
                    return step == Step::Fault ? std::nullopt : std::optional(i);
                }
                // Escapes and UTF-8 sequences, and the last bytes, one by one.
                const auto past = std::min(i + 32, text_.size());
                while (i < past) {
                    const auto byByte = stepOver(i, inString, closers, depth);
                    if (byByte != Step::On) {
                        return byByte == Step::Fault ? std::nullopt : std::optional(i);
                    }
                }
                continue;
            }
#endif
            const auto step = stepOver(i, inString, closers, depth);
            if (step != Step::On) {
                return step == Step::Fault ? std::nullopt : std::optional(i);
            }
        }
        return std::nullopt;
    }

  private:
    // Past one byte, escape or UTF-8 sequence, or a whole string from its
    // opening quote.
    Step stepOver(std::size_t& i, bool& inString, Closers& closers, std::size_t& depth) const {
        const auto c = text_[i];
        if (inString) {
            switch (kInside[static_cast<unsigned char>(c)]) {
                case Inside::Plain:
                    ++i;
                    return Step::On;
                case Inside::End:
                    inString = false;
                    ++i;
                    return Step::On;
                case Inside::Escape:
                    return skipEscape(i) ? Step::On : Step::Fault;
                case Inside::Multibyte:
                    return skipSequence(i) ? Step::On : Step::Fault;
                case Inside::Control:
                    return Step::Fault;
            }
        }
        switch (kOutside[static_cast<unsigned char>(c)]) {
            case Outside::Value:
            case Outside::Comma:
                ++i;
                return Step::On;
            case Outside::Quote:
                if (const auto end = stringEnd(i)) {
                    i = *end;
                    return Step::On;
                }
                return Step::Fault;
            case Outside::Open:
                if (!open(c, closers, depth)) {
                    return Step::Fault;
                }
                ++i;
                return Step::On;
            case Outside::Close: {
                const auto step = close(c, closers, depth);
                i += step == Step::On ? 1 : 0;
                return step;
            }
            case Outside::Bad:
                break;
        }
        return Step::Fault;
    }

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
    Closers closers{};
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
                if (depth == 2) {
                    const auto close = skim.closeOfMember(i, closers, depth);
                    if (!close) {
                        return std::nullopt;
                    }
                    i = *close;
                }
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
