#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "values/RegistryValue.h"

namespace tovask {

// Where Windows keeps the Name Resolution Policy Table, one key a rule: the
// rules Group Policy sets, and the machine's own that a command sets.
inline constexpr std::array<std::wstring_view, 2> kNameRuleStores = {
    L"SOFTWARE\\Policies\\Microsoft\\Windows NT\\DNSClient\\DnsPolicyConfig",
    L"SYSTEM\\CurrentControlSet\\Services\\Dnscache\\Parameters\\DnsPolicyConfig"};

// One rule: the names it covers ("Name": ".example.com" for every name in a
// domain, "www.example.com" for one name, "." for every name) and the DNS
// servers it sends them to (its generic and its DirectAccess servers).
struct NameResolutionRule {
    std::vector<std::wstring> names;
    std::vector<std::wstring> servers;

    bool operator==(const NameResolutionRule&) const = default;
};

// The rule as its key holds it; none when a value of it is not of the type
// Windows reads, as a list of names of another type.
std::optional<NameResolutionRule> readNameResolutionRule(const RegistryKeyContent& key);

// Whether the name of a rule takes names on the Internet elsewhere: "." does;
// a domain does unless it is a reverse lookup's, or ends in one of the
// intranet's endings or the machine's own DNS suffixes; one name does when it
// is an Internet host (isInternetHost), which a single label never is.
bool reachesInternetNames(std::wstring_view ruleName, const std::vector<std::wstring>& dnsSuffixes);

}  // namespace tovask
