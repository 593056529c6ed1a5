#include "repair/addresses/SearchEngines.h"

#include <algorithm>
#include <array>
#include <span>
#include <vector>

#include "repair/addresses/ProxyAddress.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

// Search engines a browser offers of its own, named by a brand followed by a
// country's domain ("google.es", "yahoo.co.jp") or by their own domain.
constexpr std::array<std::wstring_view, 4> kSearchBrands = {L"google", L"bing", L"yahoo",
                                                            L"yandex"};
constexpr std::array<std::wstring_view, 10> kSearchDomains = {
    L"duckduckgo.com", L"ecosia.org", L"search.brave.com", L"qwant.com", L"startpage.com",
    L"baidu.com",      L"naver.com",  L"seznam.cz",        L"so.com",    L"sogou.com"};
// The second-level names under which countries register companies' domains
// ("co.uk", "com.br").
constexpr std::array<std::wstring_view, 9> kSecondLevels = {L"co",  L"com", L"ne",  L"or", L"org",
                                                            L"net", L"gob", L"gov", L"ac"};

std::vector<std::wstring_view> labelsOf(std::wstring_view host) {
    std::vector<std::wstring_view> labels;
    for (std::size_t start = 0; start <= host.size();) {
        const auto end = std::min(host.find(L'.', start), host.size());
        labels.push_back(host.substr(start, end - start));
        start = end + 1;
    }
    return labels;
}

bool isLetters(std::wstring_view label) {
    return !label.empty() && std::ranges::all_of(label, [](wchar_t c) {
        return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
    });
}

// What follows a brand's label is a public suffix: a top-level domain, or a
// second-level name under a country's.
bool isPublicSuffix(std::span<const std::wstring_view> labels) {
    if (labels.size() == 1) {
        return labels[0].size() >= 2 && isLetters(labels[0]);
    }
    return labels.size() == 2 && labels[1].size() == 2 && isLetters(labels[1]) &&
           std::ranges::any_of(kSecondLevels, [&](std::wstring_view name) {
               return equalsIgnoringCase(labels[0], name);
           });
}

bool isBrandDomain(std::span<const std::wstring_view> labels) {
    for (std::size_t i = 0; i + 1 < labels.size(); ++i) {
        const bool brand = std::ranges::any_of(kSearchBrands, [&](std::wstring_view name) {
            return equalsIgnoringCase(labels[i], name);
        });
        if (brand && isPublicSuffix(labels.subspan(i + 1))) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool isKnownSearchHost(std::wstring_view host) {
    if (host.ends_with(L'.')) {
        host.remove_suffix(1);
    }
    const auto labels = labelsOf(host);
    if (isBrandDomain(labels)) {
        return true;
    }
    return std::ranges::any_of(kSearchDomains, [&](std::wstring_view domain) {
        return equalsIgnoringCase(host, domain) ||
               (host.size() > domain.size() &&
                equalsIgnoringCase(host.substr(host.size() - domain.size()), domain) &&
                host[host.size() - domain.size() - 1] == L'.');
    });
}

bool isKnownSearchAddress(std::wstring_view address) {
    const auto server = serverOfWebAddress(address);
    return server && isKnownSearchHost(server->host);
}

}  // namespace tovask
