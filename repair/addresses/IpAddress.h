#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <variant>

namespace tovask {

using Ipv4Address = std::uint32_t;  // first octet in the high byte
using Ipv6Address = std::array<std::uint16_t, 8>;
using IpAddress = std::variant<Ipv4Address, Ipv6Address>;

// Four decimal octets ("85.255.112.1"); none for any other spelling, so that
// a host name is never taken for an address.
std::optional<Ipv4Address> parseIpv4(std::wstring_view text);
// Any spelling the system's own lenient reader takes for a host (inet_addr):
// one to four parts split by dots, each decimal, octal after a leading 0 or
// hexadecimal after 0x, the last filling the bytes the others leave ("127.1",
// "0x7f000001", "2130706433", "0177.0.0.1").
std::optional<Ipv4Address> parseLenientIpv4(std::wstring_view text);
// Eight hexadecimal groups, one "::" allowed ("2001:4860:4860::8888"), the
// last two may be written as an IPv4 address ("::ffff:127.0.0.1"); the zone
// ("%12") that Windows appends to link-local servers is ignored.
std::optional<Ipv6Address> parseIpv6(std::wstring_view text);
std::optional<IpAddress> parseIpAddress(std::wstring_view text);

// Inside base/prefixLength.
bool inIpv4Range(Ipv4Address address, Ipv4Address base, int prefixLength);

}  // namespace tovask
