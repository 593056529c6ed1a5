#pragma once

#include <span>
#include <string>
#include <string_view>

namespace tovask {

// Whether a script's host, as serverOfWebAddress gives it, is on the
// Internet: an address that is neither private (10/8, 172.16/12,
// 192.168/16, 100.64/10, fc00::/7), link-local (169.254/16, fe80::/10),
// loopback, unspecified, multicast nor reserved; or a name of two or more
// labels that ends neither in ".local", ".lan", ".home", ".corp" or
// ".internal" nor in one of the machine's own DNS suffixes. A trailing dot
// is ignored, as name resolution ignores it; names compare without regard
// to case.
bool isInternetHost(std::wstring_view host, std::span<const std::wstring> dnsSuffixes);

// Whether the name is the domain or ends in it after a dot, leading dots of
// the domain aside, without regard to case.
bool endsInDomain(std::wstring_view name, std::wstring_view domain);
// Whether a name ends in one of the intranet's endings or in one of the
// machine's own DNS suffixes.
bool isIntranetName(std::wstring_view name, std::span<const std::wstring> dnsSuffixes);

}  // namespace tovask
