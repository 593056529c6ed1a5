#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tovask {

// One proxy a ProxyServer value names. The scheme, in upper case, is empty when the proxy
// serves every protocol; the host is without IPv6 brackets; the port is the
// one WinINet uses when the value names none.
struct ProxyEntry {
    std::wstring scheme;
    std::wstring host;
    std::uint16_t port = 0;

    bool operator==(const ProxyEntry&) const = default;
};

// "host:port", "http://host:port", "http=host:port;https=host:port;socks=host:port",
// "[::1]:8080". Entries separated by ';' or blanks; an entry with an unreadable
// port is left out.
std::vector<ProxyEntry> parseProxyServer(std::wstring_view text);

// 127.0.0.0/8 in any spelling the system reads (parseLenientIpv4), ::1 and
// IPv4-mapped 127.0.0.0/8 ("::ffff:127.0.0.1"), "localhost" in any case; a
// trailing dot is ignored, as name resolution ignores it.
bool isLoopbackHost(std::wstring_view host);

// The server an http: or https: address is fetched from, with the scheme's
// port when it names none; none for any other address.
std::optional<ProxyEntry> serverOfWebAddress(std::wstring_view address);

// "127.0.0.1:8080", "[::1]:8080", as the report names a proxy.
std::wstring proxyEntryText(const ProxyEntry& entry);

}  // namespace tovask
