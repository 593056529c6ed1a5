#include "repair/network/IpAddress.h"

#include <cwctype>

namespace tovask {
namespace {

std::optional<unsigned> numberIn(std::wstring_view digits, unsigned base, unsigned maximum) {
    if (digits.empty() || digits.size() > 4) {
        return std::nullopt;
    }
    unsigned value = 0;
    for (const wchar_t c : digits) {
        unsigned digit = 0;
        if (c >= L'0' && c <= L'9') {
            digit = static_cast<unsigned>(c - L'0');
        } else if (base == 16 && std::iswxdigit(static_cast<wint_t>(c))) {
            digit = static_cast<unsigned>(std::towlower(static_cast<wint_t>(c)) - L'a' + 10);
        } else {
            return std::nullopt;
        }
        value = value * base + digit;
    }
    return value <= maximum ? std::optional(value) : std::nullopt;
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

std::optional<Ipv6Address> parseIpv6(std::wstring_view text) {
    text = text.substr(0, text.find(L'%'));
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
