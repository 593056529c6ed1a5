#include "repair/addresses/ProxyAddress.h"

#include <algorithm>
#include <array>
#include <optional>

#include "repair/addresses/IpAddress.h"
#include "text/DecimalText.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

constexpr std::uint16_t kDefaultPort = 80;
constexpr std::uint16_t kDefaultHttpsPort = 443;
constexpr std::uint16_t kDefaultSocksPort = 1080;

std::optional<std::uint16_t> portNumber(std::wstring_view digits) {
    if (digits.empty() || digits.size() > 5) {
        return std::nullopt;
    }
    unsigned value = 0;
    for (const wchar_t c : digits) {
        if (c < L'0' || c > L'9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<unsigned>(c - L'0');
    }
    if (value == 0 || value > 0xFFFF) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(value);
}

// "host", "host:port", "[v6]:port" or a bare IPv6 address into the entry,
// the fallback port when it names none; false when malformed.
bool readHostAndPort(std::wstring_view text, std::uint16_t fallback, ProxyEntry& entry) {
    std::wstring_view portText;
    if (text.starts_with(L'[')) {
        const auto close = text.find(L']');
        if (close == std::wstring_view::npos) {
            return false;
        }
        entry.host = text.substr(1, close - 1);
        portText = text.substr(close + 1);
        if (!portText.empty() && !portText.starts_with(L':')) {
            return false;
        }
        portText = portText.empty() ? portText : portText.substr(1);
    } else if (const auto colon = text.rfind(L':');
               colon != std::wstring_view::npos && text.find(L':') == colon) {
        entry.host = text.substr(0, colon);
        portText = text.substr(colon + 1);
    } else {
        // No port, or a bare IPv6 address whose colons are all its own.
        entry.host = text;
    }
    const auto port = portText.empty() ? std::optional(fallback) : portNumber(portText);
    if (!port || entry.host.empty()) {
        return false;
    }
    entry.port = *port;
    return true;
}

std::optional<ProxyEntry> parseEntry(std::wstring_view text) {
    ProxyEntry entry;
    if (const auto equals = text.find(L'='); equals != std::wstring_view::npos) {
        entry.scheme = foldedCase(text.substr(0, equals));
        text.remove_prefix(equals + 1);
    }
    if (const auto separator = text.find(L"://"); separator != std::wstring_view::npos) {
        if (entry.scheme.empty()) {
            entry.scheme = foldedCase(text.substr(0, separator));
        }
        text.remove_prefix(separator + 3);
    }
    const auto fallback = entry.scheme.starts_with(L"SOCKS") ? kDefaultSocksPort : kDefaultPort;
    if (!readHostAndPort(text.substr(0, text.find(L'/')), fallback, entry)) {
        return std::nullopt;
    }
    return entry;
}

}  // namespace

std::vector<ProxyEntry> parseProxyServer(std::wstring_view text) {
    std::vector<ProxyEntry> entries;
    while (!text.empty()) {
        const auto end = text.find_first_of(L"; \t");
        if (auto entry = parseEntry(text.substr(0, end))) {
            entries.push_back(std::move(*entry));
        }
        text.remove_prefix(end == std::wstring_view::npos ? text.size() : end + 1);
    }
    return entries;
}

bool isLoopbackHost(std::wstring_view host) {
    if (host.ends_with(L'.')) {
        host.remove_suffix(1);
    }
    if (equalsIgnoringCase(host, L"localhost")) {
        return true;
    }
    if (const auto v4 = parseLenientIpv4(host)) {
        return (*v4 >> 24) == 127;
    }
    const auto v6 = parseIpv6(host);
    if (!v6) {
        return false;
    }
    constexpr Ipv6Address kLoopback{0, 0, 0, 0, 0, 0, 0, 1};
    constexpr std::array<std::uint16_t, 6> kMappedPrefix{0, 0, 0, 0, 0, 0xFFFF};
    const bool mapped = std::equal(kMappedPrefix.begin(), kMappedPrefix.end(), v6->begin());
    return *v6 == kLoopback || (mapped && ((*v6)[6] >> 8) == 127);
}

std::optional<ProxyEntry> serverOfWebAddress(std::wstring_view address) {
    ProxyEntry entry;
    for (const auto& [scheme, port] :
         {std::pair(L"HTTP", kDefaultPort), std::pair(L"HTTPS", kDefaultHttpsPort)}) {
        const auto prefix = std::wstring(scheme) + L"://";
        if (address.size() > prefix.size() &&
            equalsIgnoringCase(address.substr(0, prefix.size()), prefix)) {
            entry.scheme = scheme;
            address.remove_prefix(prefix.size());
            auto authority = address.substr(0, address.find_first_of(L"/\\?#"));
            if (const auto at = authority.rfind(L'@'); at != std::wstring_view::npos) {
                authority.remove_prefix(at + 1);
            }
            if (!readHostAndPort(authority, port, entry)) {
                return std::nullopt;
            }
            return entry;
        }
    }
    return std::nullopt;
}

std::wstring proxyEntryText(const ProxyEntry& entry) {
    const bool bracketed = entry.host.find(L':') != std::wstring::npos;
    return (bracketed ? L"[" + entry.host + L"]" : entry.host) + L":" + decimalText(entry.port);
}

}  // namespace tovask
