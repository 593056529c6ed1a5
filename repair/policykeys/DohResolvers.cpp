#include "repair/policykeys/DohResolvers.h"

#include <algorithm>

#include "repair/addresses/ProxyAddress.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

// The servers of Chromium's own list of DNS-over-HTTPS providers
// (net/dns/public/doh_provider_entry.cc), of Firefox's defaults, and of
// AdGuard's public resolver.
constexpr std::wstring_view kKnownResolvers[] = {
    // clang-format off
    L"doh.cleanbrowsing.org",          // CleanBrowsing
    L"chrome.cloudflare-dns.com",      // Cloudflare
    L"mozilla.cloudflare-dns.com",
    L"cloudflare-dns.com",
    L"family.cloudflare-dns.com",
    L"security.cloudflare-dns.com",
    L"doh.xfinity.com",                // Comcast
    L"doh.cox.net",                    // Cox
    L"odvr.nic.cz",                    // CZ.NIC
    L"protective.joindns4.eu",         // DNS4EU
    L"doh.dns.sb",                     // DNS.SB
    L"dns.google",                     // Google
    L"dns64.dns.google",
    L"public.dns.iij.jp",              // IIJ
    L"dns.levonet.sk",                 // Levonet
    L"chromium.dns.nextdns.io",        // NextDNS
    L"firefox.dns.nextdns.io",
    L"doh.opendns.com",                // OpenDNS
    L"doh.familyshield.opendns.com",
    L"dns.quad9.net",                  // Quad9
    L"dns10.quad9.net",
    L"dns11.quad9.net",
    L"doh.quickline.ch",               // Quickline
    L"doh-01.spectrum.com",            // Spectrum
    L"doh-02.spectrum.com",
    L"dns.adguard-dns.com",            // AdGuard
    // clang-format on
};

// Only an https: template is one; its variables ("{?dns}") are no part of the server.
bool isKnownResolver(std::wstring_view resolverTemplate) {
    const auto server = serverOfWebAddress(resolverTemplate.substr(0, resolverTemplate.find(L'{')));
    return server && server->scheme == L"HTTPS" &&
           std::ranges::any_of(kKnownResolvers, [&](std::wstring_view known) {
               return equalsIgnoringCase(server->host, known);
           });
}

}  // namespace

std::vector<std::wstring> unknownDohResolvers(std::wstring_view templates) {
    std::vector<std::wstring> unknown;
    while (!templates.empty()) {
        const auto end = std::min(templates.find_first_of(L" \t\r\n"), templates.size());
        if (const auto one = templates.substr(0, end); !one.empty() && !isKnownResolver(one)) {
            unknown.emplace_back(one);
        }
        templates.remove_prefix(std::min(end + 1, templates.size()));
    }
    return unknown;
}

}  // namespace tovask
