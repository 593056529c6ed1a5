#include "repair/run/CheckVerdict.h"

#include <algorithm>

#include "repair/commands/WebAddress.h"
#include "repair/texts/SiteUrls.h"
#include "text/RegistryEncoding.h"
#include "text/RegistryPath.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

// The start, search, default and local pages, and the search assistant's:
// every Windows ships its own, which differ from what the repair writes.
constexpr std::wstring_view kPageValues[] = {
    L"Start Page", L"Search Page",     L"Default_Page_URL", L"Default_Search_URL",
    L"Local Page", L"CustomizeSearch", L"SearchAssistant "};

// The sites whose addresses Windows itself ships as pages.
constexpr std::wstring_view kWindowsPageDomains[] = {L"microsoft.com", L"msn.com"};

bool isPageRow(const RegistryStep& step) {
    const auto name = parseRegistryPath(step.path).value().valueName;
    return std::ranges::any_of(
        kPageValues, [&](std::wstring_view page) { return equalsIgnoringCase(name, page); });
}

// Where the scheme and host of a web address end: "http://Host.Example" of
// "http://Host.Example/Path".
std::size_t hostEnd(std::wstring_view address) {
    const auto scheme = address.find(L"://");
    const auto hostStart = scheme == std::wstring_view::npos ? 0 : scheme + 3;
    return std::min(address.find_first_of(L"/?#", hostStart), address.size());
}

std::wstring_view hostOf(std::wstring_view address) {
    const auto scheme = address.find(L"://");
    auto host = address.substr(0, hostEnd(address));
    if (scheme != std::wstring_view::npos) {
        host.remove_prefix(scheme + 3);
    }
    if (const auto credentials = host.rfind(L'@'); credentials != std::wstring_view::npos) {
        host.remove_prefix(credentials + 1);
    }
    host = host.substr(0, host.find(L':'));
    if (host.ends_with(L'.')) {
        host.remove_suffix(1);
    }
    return host;
}

// Windows reads scheme and host names, program names and paths without regard
// to case; the path and query of a web address are the server's to read.
bool sameText(std::wstring_view a, std::wstring_view b) {
    if (!isWebAddress(a) || !isWebAddress(b)) {
        return equalsIgnoringCase(a, b);
    }
    const auto endA = hostEnd(a);
    const auto endB = hostEnd(b);
    return equalsIgnoringCase(a.substr(0, endA), b.substr(0, endB)) &&
           a.substr(endA) == b.substr(endB);
}

bool sameSetting(const RegistryValue& found, const RegistryValue& wanted) {
    const auto foundText = textOf(found);
    const auto wantedText = textOf(wanted);
    if (found.type != wanted.type || !foundText || !wantedText) {
        return found == wanted;
    }
    return sameText(*foundText, *wantedText);
}

bool isWindowsOrOwnPage(std::wstring_view page) {
    if (sameText(page, ForumSiteUrl)) {
        return true;
    }
    const auto host = hostOf(page);
    return std::ranges::any_of(kWindowsPageDomains, [&](std::wstring_view domain) {
        return equalsIgnoringCase(host, domain) ||
               (host.size() > domain.size() && host[host.size() - domain.size() - 1] == L'.' &&
                equalsIgnoringCase(host.substr(host.size() - domain.size()), domain));
    });
}

}  // namespace

EntryVerdict judgeDifference(const RegistryDifference& difference,
                             std::optional<std::wstring_view> givenStartPage) {
    if (!difference.present) {
        return EntryVerdict::WillBeWritten;
    }
    // A key or value the plan deletes is there.
    if (!difference.found || !difference.wanted) {
        return EntryVerdict::Counts;
    }
    if (sameSetting(*difference.found, *difference.wanted)) {
        return EntryVerdict::Same;
    }
    if (!isPageRow(*difference.step)) {
        return EntryVerdict::Counts;
    }
    if (difference.step->source == ValueSource::StartPage && givenStartPage) {
        return EntryVerdict::Counts;
    }
    const auto page = textOf(*difference.found);
    if (page && isWebAddress(*page) && !isWindowsOrOwnPage(*page)) {
        return EntryVerdict::Counts;
    }
    return EntryVerdict::Information;
}

bool isPolicyRow(const RegistryStep& step) {
    return std::ranges::any_of(
        std::initializer_list<std::wstring_view>{L"\\Policies\\", L"\\Group Policy Objects\\"},
        [&](std::wstring_view part) {
            return foldedCase(step.path).find(foldedCase(part)) != std::wstring::npos;
        });
}

}  // namespace tovask
