#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tovask {

// The servers of a NameServer or DhcpNameServer value, in order; Windows
// separates them with commas, blanks or both.
std::vector<std::wstring> parseNameServers(std::wstring_view value);

// Whether an IPv4 server lies in a range known to have been used by DNS
// hijackers (the ranges published after the DNSChanger takedown).
bool isKnownHijackerServer(std::wstring_view server);

// "Google", "Cloudflare", "Quad9", "OpenDNS" for their public resolvers,
// whatever the spelling of the address; none for any other server.
std::optional<std::wstring_view> publicResolverName(std::wstring_view server);

// The static NameServer value without the hijackers' servers, the others kept
// in order with the value's own separator; empty when none is left, which
// lets the adapter use the servers DHCP gives it.
std::wstring withoutHijackerServers(std::wstring_view value);

}  // namespace tovask
