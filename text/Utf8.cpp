#include "text/Utf8.h"

#include <cstdint>
#include <optional>
#include <utility>

namespace tovask {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool isLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void appendUtf8(std::string& bytes, char32_t point) {
    const auto put = [&](std::uint32_t byte) { bytes.push_back(static_cast<char>(byte)); };
    if (point < 0x80) {
        put(point);
    } else if (point < 0x800) {
        put(0xC0 | (point >> 6));
        put(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
        put(0xE0 | (point >> 12));
        put(0x80 | ((point >> 6) & 0x3F));
        put(0x80 | (point & 0x3F));
    } else {
        put(0xF0 | (point >> 18));
        put(0x80 | ((point >> 12) & 0x3F));
        put(0x80 | ((point >> 6) & 0x3F));
        put(0x80 | (point & 0x3F));
    }
}

void appendWide(std::wstring& text, char32_t point) {
    if (sizeof(wchar_t) == 2 && point > 0xFFFF) {
        const auto offset = point - 0x10000;
        text.push_back(static_cast<wchar_t>(0xD800 + (offset >> 10)));
        text.push_back(static_cast<wchar_t>(0xDC00 + (offset & 0x3FF)));
        return;
    }
    text.push_back(static_cast<wchar_t>(point));
}

struct Decoded {
    char32_t point;
    std::size_t length;
    bool valid;
};

// The code point that starts at `at`, and how many bytes it took; a broken
// sequence yields the replacement character for its first byte only, an
// overlong or out-of-range one for all of its bytes.
Decoded decodeAt(std::string_view bytes, std::size_t at) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    const std::size_t length = lead < 0x80   ? 1
                               : lead < 0xC2 ? 0
                               : lead < 0xE0 ? 2
                               : lead < 0xF0 ? 3
                               : lead < 0xF5 ? 4
                                             : 0;
    if (length == 0 || at + length > bytes.size()) {
        return {kReplacement, 1, false};
    }
    char32_t point = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(bytes[at + i]);
        if ((next & 0xC0) != 0x80) {
            return {kReplacement, 1, false};
        }
        point = (point << 6) | (next & 0x3F);
    }
    constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (point < kSmallest[length] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) {
        return {kReplacement, length, false};
    }
    return {point, length, true};
}

}  // namespace

std::string utf8FromWide(std::wstring_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto point = static_cast<char32_t>(text[i]);
        if (isHighSurrogate(point) && i + 1 < text.size() &&
            isLowSurrogate(static_cast<char32_t>(text[i + 1]))) {
            point =
                0x10000 + ((point - 0xD800) << 10) + (static_cast<char32_t>(text[++i]) - 0xDC00);
        } else if (isHighSurrogate(point) || isLowSurrogate(point) || point > 0x10FFFF) {
            point = kReplacement;
        }
        appendUtf8(bytes, point);
    }
    return bytes;
}

std::wstring wideFromUtf8(std::string_view bytes) {
    std::wstring text;
    text.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        const auto decoded = decodeAt(bytes, at);
        appendWide(text, decoded.point);
        at += decoded.length;
    }
    return text;
}

std::optional<std::wstring> wideFromValidUtf8(std::string_view bytes) {
    std::wstring text;
    for (std::size_t at = 0; at < bytes.size();) {
        const auto decoded = decodeAt(bytes, at);
        if (!decoded.valid) {
            return std::nullopt;
        }
        appendWide(text, decoded.point);
        at += decoded.length;
    }
    return text;
}

}  // namespace tovask
