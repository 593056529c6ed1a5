#include "repair/network/DnsServers.h"

#include <algorithm>
#include <array>

#include "repair/addresses/IpAddress.h"

namespace tovask {
namespace {

struct Ipv4Range {
    Ipv4Address base;
    int prefixLength;
};

constexpr Ipv4Address ipv4(unsigned a, unsigned b, unsigned c, unsigned d) {
    return (a << 24) | (b << 16) | (c << 8) | d;
}

constexpr std::array kHijackerRanges{
    Ipv4Range{ipv4(85, 255, 112, 0), 20}, Ipv4Range{ipv4(67, 210, 0, 0), 20},
    Ipv4Range{ipv4(93, 188, 160, 0), 21}, Ipv4Range{ipv4(77, 67, 83, 0), 24},
    Ipv4Range{ipv4(213, 109, 64, 0), 20}, Ipv4Range{ipv4(64, 28, 176, 0), 20},
};

struct PublicResolver {
    std::wstring_view address;
    std::wstring_view name;
};

constexpr std::array kPublicResolvers{
    // clang-format off
    PublicResolver{L"8.8.8.8", L"Google"},
    PublicResolver{L"8.8.4.4", L"Google"},
    PublicResolver{L"2001:4860:4860::8888", L"Google"},
    PublicResolver{L"2001:4860:4860::8844", L"Google"},
    PublicResolver{L"1.1.1.1", L"Cloudflare"},
    PublicResolver{L"1.0.0.1", L"Cloudflare"},
    PublicResolver{L"2606:4700:4700::1111", L"Cloudflare"},
    PublicResolver{L"2606:4700:4700::1001", L"Cloudflare"},
    PublicResolver{L"9.9.9.9", L"Quad9"},
    PublicResolver{L"149.112.112.112", L"Quad9"},
    PublicResolver{L"2620:fe::fe", L"Quad9"},
    PublicResolver{L"2620:fe::9", L"Quad9"},
    PublicResolver{L"208.67.222.222", L"OpenDNS"},
    PublicResolver{L"208.67.220.220", L"OpenDNS"},
    PublicResolver{L"2620:119:35::35", L"OpenDNS"},
    PublicResolver{L"2620:119:53::53", L"OpenDNS"},
    // clang-format on
};

constexpr std::wstring_view kSeparators = L", \t";

}  // namespace

std::vector<std::wstring> parseNameServers(std::wstring_view value) {
    std::vector<std::wstring> servers;
    while (!value.empty()) {
        const auto end = value.find_first_of(kSeparators);
        if (const auto server = value.substr(0, end); !server.empty()) {
            servers.emplace_back(server);
        }
        value.remove_prefix(end == std::wstring_view::npos ? value.size() : end + 1);
    }
    return servers;
}

bool isKnownHijackerServer(std::wstring_view server) {
    const auto address = parseIpv4(server);
    if (!address) {
        return false;
    }
    return std::ranges::any_of(kHijackerRanges, [&](const Ipv4Range& range) {
        return inIpv4Range(*address, range.base, range.prefixLength);
    });
}

std::optional<std::wstring_view> publicResolverName(std::wstring_view server) {
    const auto address = parseIpAddress(server);
    if (!address) {
        return std::nullopt;
    }
    const auto resolver = std::ranges::find_if(kPublicResolvers, [&](const PublicResolver& known) {
        return parseIpAddress(known.address) == address;
    });
    return resolver == kPublicResolvers.end() ? std::nullopt : std::optional(resolver->name);
}

std::wstring withoutHijackerServers(std::wstring_view value) {
    const std::wstring_view separator = value.find(L',') != std::wstring_view::npos ? L"," : L" ";
    std::wstring kept;
    for (const auto& server : parseNameServers(value)) {
        if (!isKnownHijackerServer(server)) {
            kept += kept.empty() ? std::wstring_view{} : separator;
            kept += server;
        }
    }
    return kept;
}

}  // namespace tovask
