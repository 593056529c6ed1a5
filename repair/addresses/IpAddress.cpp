#include "repair/addresses/IpAddress.h"

#include <cwctype>
#include <string>

namespace tovask {
namespace {

std::optional<unsigned> digitIn(wchar_t c, unsigned base) {
    unsigned digit = 0;
    if (c >= L'0' && c <= L'9') {
        digit = static_cast<unsigned>(c - L'0');
    } else if (base == 16 && std::iswxdigit(static_cast<wint_t>(c))) {
        digit = static_cast<unsigned>(std::towlower(static_cast<wint_t>(c)) - L'a' + 10);
    } else {
        return std::nullopt;
    }
    return digit < base ? std::optional(digit) : std::nullopt;
}

std::optional<unsigned> numberIn(std::wstring_view digits, unsigned base, unsigned maximum) {
    if (digits.empty() || digits.size() > 4) {
        return std::nullopt;
    }
    unsigned value = 0;
    for (const wchar_t c : digits) {
        const auto digit = digitIn(c, base);
        if (!digit) {
            return std::nullopt;
        }
        value = value * base + *digit;
    }
    return value <= maximum ? std::optional(value) : std::nullopt;
}

std::wstring hexGroup(std::uint32_t value) {
    constexpr std::wstring_view kDigits = L"0123456789abcdef";
    std::wstring text;
    for (int shift = 12; shift >= 0; shift -= 4) {
        text += kDigits[(value >> shift) & 0xF];
    }
    return text;
}

// The groups of one side of "::", in order; none when one is malformed.
std::optional<std::array<std::uint16_t, 8>> groupsOf(std::wstring_view side, std::size_t& count) {
    std::array<std::uint16_t, 8> groups{};
    count = 0;
    if (side.empty()) {
        return groups;
    }
    while (true) {
        const auto colon = side.find(L':');
        const auto group = numberIn(side.substr(0, colon), 16, 0xFFFF);
        if (!group || count == groups.size()) {
            return std::nullopt;
        }
        groups[count++] = static_cast<std::uint16_t>(*group);
        if (colon == std::wstring_view::npos) {
            return groups;
        }
        side.remove_prefix(colon + 1);
    }
}

// One part of a lenient IPv4 address; none past 32 bits.
std::optional<std::uint32_t> lenientPart(std::wstring_view part) {
    unsigned base = 10;
    if (part.size() > 1 && part[0] == L'0' && (part[1] == L'x' || part[1] == L'X')) {
        base = 16;
        part.remove_prefix(2);
    } else if (part.size() > 1 && part[0] == L'0') {
        base = 8;
        part.remove_prefix(1);
    }
    if (part.empty()) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (const wchar_t c : part) {
        const auto digit = digitIn(c, base);
        if (!digit) {
            return std::nullopt;
        }
        value = value * base + *digit;
        if (value > 0xFFFFFFFF) {
            return std::nullopt;
        }
    }
    return static_cast<std::uint32_t>(value);
}

}  // namespace

std::optional<Ipv4Address> parseIpv4(std::wstring_view text) {
    Ipv4Address address = 0;
    for (int octet = 0; octet < 4; ++octet) {
        const auto dot = text.find(L'.');
        if ((octet < 3) == (dot == std::wstring_view::npos)) {
            return std::nullopt;
        }
        const auto digits = text.substr(0, dot);
        const auto value = digits.size() <= 3 ? numberIn(digits, 10, 255) : std::nullopt;
        if (!value) {
            return std::nullopt;
        }
        address = (address << 8) | *value;
        text.remove_prefix(octet < 3 ? dot + 1 : text.size());
    }
    return address;
}

std::optional<Ipv4Address> parseLenientIpv4(std::wstring_view text) {
    std::array<std::uint32_t, 4> parts{};
    std::size_t count = 0;
    while (true) {
        const auto dot = text.find(L'.');
        const auto part = lenientPart(text.substr(0, dot));
        if (!part || count == parts.size()) {
            return std::nullopt;
        }
        parts[count++] = *part;
        if (dot == std::wstring_view::npos) {
            break;
        }
        text.remove_prefix(dot + 1);
    }
    Ipv4Address address = 0;
    for (std::size_t i = 0; i + 1 < count; ++i) {
        if (parts[i] > 0xFF) {
            return std::nullopt;
        }
        address |= parts[i] << (24 - 8 * i);
    }
    const auto last = parts[count - 1];
    if (count > 1 && last >> (8 * (5 - count)) != 0) {
        return std::nullopt;
    }
    return address | last;
}

std::optional<Ipv6Address> parseIpv6(std::wstring_view text) {
    text = text.substr(0, text.find(L'%'));
    if (const auto lastColon = text.rfind(L':');
        lastColon != std::wstring_view::npos &&
        text.find(L'.', lastColon) != std::wstring_view::npos) {
        const auto v4 = parseIpv4(text.substr(lastColon + 1));
        if (!v4) {
            return std::nullopt;
        }
        std::wstring groups(text.substr(0, lastColon + 1));
        for (const auto group : {*v4 >> 16, *v4 & 0xFFFF}) {
            groups += hexGroup(group);
            groups += L':';
        }
        groups.pop_back();
        return parseIpv6(groups);
    }
    const auto gap = text.find(L"::");
    std::size_t headCount = 0;
    std::size_t tailCount = 0;
    const auto head = groupsOf(text.substr(0, gap), headCount);
    if (!head) {
        return std::nullopt;
    }
    if (gap == std::wstring_view::npos) {
        return headCount == 8 ? head : std::nullopt;
    }
    const auto tail = groupsOf(text.substr(gap + 2), tailCount);
    if (!tail || headCount + tailCount > 7) {
        return std::nullopt;
    }
    Ipv6Address address = *head;
    for (std::size_t i = 0; i < tailCount; ++i) {
        address[8 - tailCount + i] = (*tail)[i];
    }
    return address;
}

std::optional<IpAddress> parseIpAddress(std::wstring_view text) {
    if (const auto v4 = parseIpv4(text)) {
        return IpAddress{*v4};
    }
    if (const auto v6 = parseIpv6(text)) {
        return IpAddress{*v6};
    }
    return std::nullopt;
}

bool inIpv4Range(Ipv4Address address, Ipv4Address base, int prefixLength) {
    const Ipv4Address mask = prefixLength == 0 ? 0 : ~Ipv4Address{0} << (32 - prefixLength);
    return (address & mask) == (base & mask);
}

}  // namespace tovask
