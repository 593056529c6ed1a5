#include "repair/addresses/ScriptHost.h"

#include <algorithm>
#include <array>
#include <variant>

#include "repair/addresses/IpAddress.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

struct ReservedIpv4Range {
    Ipv4Address base;
    int prefixLength;
};

constexpr std::array<ReservedIpv4Range, 9> kNotOnTheInternet = {{
    {0x00000000, 8},   // this network
    {0x0a000000, 8},   // private
    {0x64400000, 10},  // shared by a provider's customers
    {0x7f000000, 8},   // loopback
    {0xa9fe0000, 16},  // link-local
    {0xac100000, 12},  // private
    {0xc0a80000, 16},  // private
    {0xe0000000, 4},   // multicast
    {0xf0000000, 4},   // reserved and broadcast
}};

constexpr std::array<std::wstring_view, 5> kIntranetSuffixes = {L"local", L"lan", L"home", L"corp",
                                                                L"internal"};

bool isInternetIpv4(Ipv4Address address) {
    return std::ranges::none_of(kNotOnTheInternet, [&](const ReservedIpv4Range& range) {
        return inIpv4Range(address, range.base, range.prefixLength);
    });
}

bool isInternetIpv6(const Ipv6Address& address) {
    const bool mappedIpv4 = std::all_of(address.begin(), address.begin() + 5,
                                        [](std::uint16_t group) { return group == 0; }) &&
                            address[5] == 0xffff;
    if (mappedIpv4) {
        return isInternetIpv4(static_cast<Ipv4Address>(address[6]) << 16 | address[7]);
    }
    const bool unspecifiedOrLoopback =
        std::all_of(address.begin(), address.begin() + 7,
                    [](std::uint16_t group) { return group == 0; }) &&
        address[7] <= 1;
    const bool uniqueLocal = (address[0] & 0xfe00) == 0xfc00;
    const bool linkLocal = (address[0] & 0xffc0) == 0xfe80;
    const bool multicast = (address[0] & 0xff00) == 0xff00;
    return !(unspecifiedOrLoopback || uniqueLocal || linkLocal || multicast);
}

}  // namespace

bool endsInDomain(std::wstring_view name, std::wstring_view domain) {
    while (domain.starts_with(L'.')) {
        domain.remove_prefix(1);
    }
    if (domain.empty() || name.size() < domain.size()) {
        return false;
    }
    const auto start = name.size() - domain.size();
    return equalsIgnoringCase(name.substr(start), domain) &&
           (start == 0 || name[start - 1] == L'.');
}

bool isIntranetName(std::wstring_view name, std::span<const std::wstring> dnsSuffixes) {
    const auto inSuffix = [&](std::wstring_view suffix) { return endsInDomain(name, suffix); };
    return std::ranges::any_of(kIntranetSuffixes, inSuffix) ||
           std::ranges::any_of(dnsSuffixes, inSuffix);
}

bool isInternetHost(std::wstring_view host, std::span<const std::wstring> dnsSuffixes) {
    if (const auto ipv6 = parseIpv6(host)) {
        return isInternetIpv6(*ipv6);
    }
    if (host.ends_with(L'.')) {
        host.remove_suffix(1);
    }
    if (const auto ipv4 = parseLenientIpv4(host)) {
        return isInternetIpv4(*ipv4);
    }
    if (host.empty() || host.find(L'.') == std::wstring_view::npos) {
        return false;
    }
    return !isIntranetName(host, dnsSuffixes);
}

}  // namespace tovask
