#include "repair/network/NameResolutionRules.h"

#include <algorithm>

#include "repair/addresses/ScriptHost.h"
#include "repair/policykeys/PolicyKeyContent.h"
#include "text/RegistryEncoding.h"
#include "text/TextCompare.h"
#include "text/Utf16.h"

namespace tovask {
namespace {

constexpr std::wstring_view kNames = L"Name";
constexpr std::wstring_view kServerValues[] = {L"GenericDNSServers", L"DirectAccessDNSServers"};
// Names looked up from an address: no browser is sent to a page by one.
constexpr std::wstring_view kReverseLookupDomains[] = {L"in-addr.arpa", L"ip6.arpa"};

void addSplit(std::wstring_view text, std::wstring_view separators,
              std::vector<std::wstring>& items) {
    while (!text.empty()) {
        const auto end = std::min(text.find_first_of(separators), text.size());
        if (const auto item = text.substr(0, end); !item.empty()) {
            items.emplace_back(item);
        }
        text.remove_prefix(std::min(end + 1, text.size()));
    }
}

// A list of names is REG_MULTI_SZ; one name as REG_SZ is read too.
bool addNames(const RegistryValue& value, std::vector<std::wstring>& names) {
    if (value.type != regtype::kMultiString) {
        const auto text = textOf(value);
        if (text) {
            addSplit(*text, std::wstring_view(L"\0", 1), names);
        }
        return text.has_value();
    }
    const auto text = fromUtf16LeBytes(
        std::string_view(reinterpret_cast<const char*>(value.bytes.data()), value.bytes.size()));
    if (text.ok()) {
        addSplit(text.value(), std::wstring_view(L"\0", 1), names);
    }
    return text.ok();
}

}  // namespace

std::optional<NameResolutionRule> readNameResolutionRule(const RegistryKeyContent& key) {
    NameResolutionRule rule;
    if (const auto* names = findValue(key, kNames); names && !addNames(names->value, rule.names)) {
        return std::nullopt;
    }
    for (const auto name : kServerValues) {
        const auto* servers = findValue(key, name);
        const auto text =
            servers == nullptr ? std::optional<std::wstring>(L"") : textOf(servers->value);
        if (!text) {
            return std::nullopt;
        }
        addSplit(*text, L"; \t", rule.servers);
    }
    return rule;
}

bool reachesInternetNames(std::wstring_view ruleName,
                          const std::vector<std::wstring>& dnsSuffixes) {
    if (!ruleName.starts_with(L'.')) {
        return isInternetHost(ruleName, dnsSuffixes);
    }
    auto domain = ruleName.substr(1);
    if (domain.ends_with(L'.')) {
        domain.remove_suffix(1);
    }
    if (domain.empty()) {
        return true;
    }
    return std::ranges::none_of(
               kReverseLookupDomains,
               [&](std::wstring_view reverse) { return endsInDomain(domain, reverse); }) &&
           !isIntranetName(domain, dnsSuffixes);
}

}  // namespace tovask
