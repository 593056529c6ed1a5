#include "text/Utf16.h"

#include <cstdint>

namespace tovask {
namespace {

void appendUnit(std::string& bytes, std::uint32_t unit) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>((unit >> 8) & 0xFF));
}

constexpr bool isHighSurrogate(std::uint32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
constexpr bool isLowSurrogate(std::uint32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

std::string toUtf16LeBytes(std::wstring_view text) {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (const wchar_t c : text) {
        const auto point = static_cast<std::uint32_t>(c);
        if constexpr (sizeof(wchar_t) > 2) {
            if (point > 0xFFFF) {
                const auto offset = point - 0x10000;
                appendUnit(bytes, 0xD800 + (offset >> 10));
                appendUnit(bytes, 0xDC00 + (offset & 0x3FF));
                continue;
            }
        }
        appendUnit(bytes, point);
    }
    return bytes;
}

Result<std::wstring> fromUtf16LeBytes(std::string_view bytes) {
    if (bytes.size() % 2 != 0) {
        return std::make_error_code(std::errc::illegal_byte_sequence);
    }
    std::wstring text;
    text.reserve(bytes.size() / 2);
    const auto unitAt = [&](std::size_t index) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[index])) |
               static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[index + 1])) << 8;
    };
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        const auto unit = unitAt(i);
        if constexpr (sizeof(wchar_t) > 2) {
            if (isHighSurrogate(unit) && i + 3 < bytes.size() && isLowSurrogate(unitAt(i + 2))) {
                const auto low = unitAt(i + 2);
                text.push_back(
                    static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00)));
                i += 2;
                continue;
            }
        }
        text.push_back(static_cast<wchar_t>(unit));
    }
    return text;
}

}  // namespace tovask
