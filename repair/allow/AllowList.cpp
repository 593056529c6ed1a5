#include "repair/allow/AllowList.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "repair/addresses/IpAddress.h"
#include "repair/addresses/ProxyAddress.h"
#include "repair/allow/AllowTexts.h"
#include "text/Blanks.h"
#include "text/DecimalText.h"
#include "text/TextCompare.h"
#include "text/Utf8.h"

namespace tovask {
namespace {

// Longer is no entry anyone writes: a start-up command is at most 32767
// characters, and the list is read before anything else.
constexpr std::size_t kLongestAllowLine = 4096;
constexpr std::size_t kAllowChromiumIdLength = 32;
constexpr std::size_t kAllowThumbprintLength = 40;

struct AllowKeyword {
    std::wstring_view word;
    AllowedThing thing;
};

constexpr AllowKeyword kAllowKeywords[] = {
    {L"pagina", AllowedThing::Page},          {L"buscador", AllowedThing::SearchEngine},
    {L"extension", AllowedThing::Extension},  {L"proxy", AllowedThing::ProxyServer},
    {L"pac", AllowedThing::ProxyScript},      {L"dns", AllowedThing::DnsServer},
    {L"hosts", AllowedThing::HostsName},      {L"argumento", AllowedThing::ShortcutArgument},
    {L"tarea", AllowedThing::Task},           {L"inicio", AllowedThing::StartupCommand},
    {L"raiz", AllowedThing::RootCertificate},
};

// A web address taken apart as a browser reaches it: the scheme and host in
// one case, the host without its root's dot, the scheme's port where none is
// written, and the path with the query after it ("/" when there is none).
struct AllowAddressParts {
    std::wstring scheme;
    std::wstring host;
    std::uint32_t port = 0;
    std::wstring path;
};

std::optional<std::uint32_t> portNumberOf(std::wstring_view digits) {
    std::uint32_t port = 0;
    if (digits.empty() || digits.size() > 5) {
        return std::nullopt;
    }
    for (const wchar_t c : digits) {
        if (c < L'0' || c > L'9') {
            return std::nullopt;
        }
        port = port * 10 + static_cast<std::uint32_t>(c - L'0');
    }
    return port <= 65535 ? std::optional(port) : std::nullopt;
}

std::optional<AllowAddressParts> addressPartsOf(std::wstring_view address) {
    const auto schemeEnd = address.find(L"://");
    if (schemeEnd == std::wstring_view::npos || schemeEnd == 0) {
        return std::nullopt;
    }
    AllowAddressParts parts{foldedCase(address.substr(0, schemeEnd)), {}, 0, {}};
    auto rest = address.substr(schemeEnd + 3);
    // A browser ends the host at a backslash too: "http://evil\@intranet/".
    const auto authorityEnd = std::min(rest.find_first_of(L"/\\?#"), rest.size());
    auto authority = rest.substr(0, authorityEnd);
    if (const auto at = authority.rfind(L'@'); at != std::wstring_view::npos) {
        authority.remove_prefix(at + 1);
    }
    const auto closing = authority.starts_with(L'[') ? authority.find(L']') : 0;
    if (closing == std::wstring_view::npos) {
        return std::nullopt;
    }
    const auto colon = authority.find(L':', closing);
    auto host = authority.substr(0, colon);
    if (host.ends_with(L'.')) {
        host.remove_suffix(1);
    }
    if (host.empty()) {
        return std::nullopt;
    }
    parts.host = foldedCase(host);
    if (colon != std::wstring_view::npos) {
        const auto port = portNumberOf(authority.substr(colon + 1));
        if (!port) {
            return std::nullopt;
        }
        parts.port = *port;
    } else {
        parts.port = parts.scheme == L"https" ? 443 : parts.scheme == L"http" ? 80 : 0;
    }
    parts.path = std::wstring(rest.substr(authorityEnd));
    if (!parts.path.starts_with(L'/')) {
        parts.path.insert(0, L"/");
    }
    return parts;
}

// The found address lies below the allowed one: the same server, and a path
// that goes on from the allowed one's only past a '/', '?' or '#', so that
// "/app" covers "/app/x" and not "/apple".
bool coversAddress(std::wstring_view allowed, std::wstring_view found) {
    const auto a = addressPartsOf(allowed);
    const auto f = addressPartsOf(found);
    if (!a || !f || a->scheme != f->scheme || a->host != f->host || a->port != f->port ||
        !f->path.starts_with(a->path)) {
        return false;
    }
    return a->path.ends_with(L'/') || f->path.size() == a->path.size() ||
           std::wstring_view(L"/?#").find(f->path[a->path.size()]) != std::wstring_view::npos;
}

bool coversProxy(std::wstring_view allowed, std::wstring_view found) {
    const auto servers = parseProxyServer(found);
    const auto declared = parseProxyServer(allowed);
    return !servers.empty() && std::ranges::all_of(servers, [&](const ProxyEntry& server) {
        return std::ranges::any_of(declared, [&](const ProxyEntry& own) {
            return (own.scheme.empty() || own.scheme == server.scheme) &&
                   equalsIgnoringCase(own.host, server.host) && own.port == server.port;
        });
    });
}

bool coversDnsServer(std::wstring_view allowed, std::wstring_view found) {
    const auto server = parseIpAddress(trimmed(found));
    return server && server == parseIpAddress(allowed);
}

bool isChromiumExtensionId(std::wstring_view id) {
    return id.size() == kAllowChromiumIdLength && std::ranges::all_of(id, [](wchar_t c) {
               return (c >= L'a' && c <= L'p') || (c >= L'A' && c <= L'P');
           });
}

// Firefox names an extension "name@domain" or "{guid}".
bool isFirefoxExtensionId(std::wstring_view id) {
    return id.size() <= 255 && std::ranges::none_of(id, isBlank) &&
           (id.find(L'@') != std::wstring_view::npos ||
            (id.size() > 2 && id.starts_with(L'{') && id.ends_with(L'}')));
}

bool isHostsName(std::wstring_view name) {
    return !name.empty() && name.size() <= 253 && std::ranges::all_of(name, [](wchar_t c) {
        return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ||
               c == L'-' || c == L'.' || c == L'_';
    });
}

bool isThumbprintDigits(std::wstring_view text) {
    return text.size() == kAllowThumbprintLength && std::ranges::all_of(text, [](wchar_t c) {
               return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') ||
                      (c >= L'A' && c <= L'F');
           });
}

// Why the value cannot stand for its thing; empty when it can.
std::wstring_view allowValueMistake(AllowedThing thing, std::wstring_view value) {
    switch (thing) {
        case AllowedThing::Page:
        case AllowedThing::SearchEngine:
        case AllowedThing::ProxyScript:
            return addressPartsOf(value) ? std::wstring_view{} : texts::kAllowBadAddress;
        case AllowedThing::Extension:
            return isChromiumExtensionId(value) || isFirefoxExtensionId(value)
                       ? std::wstring_view{}
                       : texts::kAllowBadExtension;
        case AllowedThing::ProxyServer:
            return parseProxyServer(value).size() == 1 ? std::wstring_view{}
                                                       : texts::kAllowBadProxy;
        case AllowedThing::DnsServer:
            return parseIpAddress(value) ? std::wstring_view{} : texts::kAllowBadDns;
        case AllowedThing::HostsName:
            return isHostsName(value) ? std::wstring_view{} : texts::kAllowBadHostsName;
        case AllowedThing::Task:
            return value.starts_with(L'\\') ? std::wstring_view{} : texts::kAllowBadTask;
        case AllowedThing::RootCertificate:
            return isThumbprintDigits(value) ? std::wstring_view{} : texts::kAllowBadThumbprint;
        case AllowedThing::ShortcutArgument:
        case AllowedThing::StartupCommand:
            break;
    }
    return {};
}

bool entryCovers(const AllowEntry& entry, std::wstring_view found) {
    switch (entry.thing) {
        case AllowedThing::Page:
        case AllowedThing::SearchEngine:
        case AllowedThing::ProxyScript:
            return coversAddress(entry.value, trimmed(found));
        case AllowedThing::ProxyServer:
            return coversProxy(entry.value, found);
        case AllowedThing::DnsServer:
            return coversDnsServer(entry.value, found);
        case AllowedThing::HostsName:
        case AllowedThing::Extension:
        case AllowedThing::ShortcutArgument:
        case AllowedThing::Task:
        case AllowedThing::StartupCommand:
        case AllowedThing::RootCertificate:
            break;
    }
    return equalsIgnoringCase(entry.value, trimmed(found));
}

// Which thing of a list stands for a finding's subject; none for the
// subjects no entry names.
std::optional<AllowedThing> allowedThingOf(FindingSubject subject) {
    switch (subject) {
        case FindingSubject::HomePage:
        case FindingSubject::NewTabPage:
        case FindingSubject::StartupPages:
            return AllowedThing::Page;
        case FindingSubject::SearchEngine:
            return AllowedThing::SearchEngine;
        case FindingSubject::ForcedExtension:
        case FindingSubject::ExtensionFromFolder:
        case FindingSubject::ExtensionKey:
            return AllowedThing::Extension;
        case FindingSubject::ProxyServer:
            return AllowedThing::ProxyServer;
        case FindingSubject::ProxyScript:
            return AllowedThing::ProxyScript;
        case FindingSubject::DnsServer:
            return AllowedThing::DnsServer;
        case FindingSubject::ShortcutArgument:
            return AllowedThing::ShortcutArgument;
        case FindingSubject::RootCertificate:
            return AllowedThing::RootCertificate;
        case FindingSubject::StartupCommand:
        case FindingSubject::TaskAction:
            return AllowedThing::Task;
        default:
            return std::nullopt;
    }
}

}  // namespace

AllowLine readAllowLine(std::wstring_view line) {
    const auto text = trimmed(line, kWhitespace);
    if (text.empty() || text.starts_with(L'#')) {
        return {};
    }
    if (text.size() > kLongestAllowLine) {
        return {std::nullopt, texts::kAllowLineTooLong};
    }
    const auto wordEnd = std::min(text.find_first_of(kBlanks), text.size());
    const auto keyword = std::ranges::find_if(kAllowKeywords, [&](const AllowKeyword& known) {
        return equalsIgnoringCase(known.word, text.substr(0, wordEnd));
    });
    if (keyword == std::end(kAllowKeywords)) {
        return {std::nullopt, texts::kAllowUnknownKeyword};
    }
    const auto value = trimmed(text.substr(wordEnd));
    if (value.empty()) {
        return {std::nullopt, texts::kAllowMissingValue};
    }
    if (const auto mistake = allowValueMistake(keyword->thing, value); !mistake.empty()) {
        return {std::nullopt, mistake};
    }
    return {AllowEntry{keyword->thing, std::wstring(value)}};
}

bool AllowList::allowsAny(AllowedThing thing, std::wstring_view found) const {
    return std::ranges::any_of(entries_, [&](const AllowEntry& entry) {
        return entry.thing == thing && entryCovers(entry, found);
    });
}

bool AllowList::allows(const Finding& finding) const {
    const auto thing = allowedThingOf(finding.subject);
    if (!thing) {
        return false;
    }
    const auto& evidence = finding.evidence;
    if (*thing == AllowedThing::Task) {
        // What a start-up entry runs, its encoded script aside, or the task it is.
        const auto command = std::wstring_view(evidence.runs).substr(0, evidence.runs.find(L'\n'));
        return (!command.empty() && allowsAny(AllowedThing::StartupCommand, command)) ||
               (!evidence.sets.empty() && allowsAny(AllowedThing::Task, evidence.sets.front()));
    }
    std::vector<std::wstring_view> sets(evidence.sets.begin(), evidence.sets.end());
    if (!evidence.extensionId.empty()) {
        sets.assign(1, evidence.extensionId);
    }
    return !sets.empty() && std::ranges::all_of(sets, [&](std::wstring_view found) {
        return allowsAny(*thing, found);
    });
}

void AllowList::markAllowed(std::vector<Finding>& findings) const {
    for (auto& finding : findings) {
        finding.allowed = finding.allowed || allows(finding);
    }
    // One subject's neighbours: a proxy mode goes with a server or a script.
    const auto family = [](FindingSubject subject) {
        return subject == FindingSubject::ProxyScript ? FindingSubject::ProxyServer : subject;
    };
    const auto neighbours = [&](const Finding& a, const Finding& b) {
        return a.kind == b.kind && a.evidence.policyRoot == b.evidence.policyRoot &&
               family(a.subject) == family(b.subject);
    };
    for (auto& lock : findings) {
        if (!lock.evidence.switchesNeighbours || lock.evidence.policyRoot.empty()) {
            continue;
        }
        bool anyAddress = false;
        bool allAllowed = true;
        for (const auto& address : findings) {
            if (!address.evidence.switchesNeighbours && neighbours(lock, address)) {
                anyAddress = true;
                allAllowed = allAllowed && address.allowed;
            }
        }
        lock.allowed = lock.allowed || (anyAddress && allAllowed);
    }
    for (auto& finding : findings) {
        finding.repairable = finding.repairable && !finding.allowed;
    }
}

std::function<bool(std::string_view name)> AllowList::hostNameRule() const {
    return [this](std::string_view name) {
        return allowsAny(AllowedThing::HostsName, wideFromUtf8(name));
    };
}

void addAllowLines(AllowList& list, std::wstring_view source, std::wstring_view text,
                   FailureLog& failures) {
    std::size_t number = 0;
    while (!text.empty()) {
        ++number;
        const auto end = std::min(text.find(L'\n'), text.size());
        auto read = readAllowLine(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        if (read.entry) {
            list.add(std::move(*read.entry));
        } else if (!read.mistake.empty()) {
            failures.add(
                std::wstring(source) + std::wstring(texts::kAllowLinePrefix) + decimalText(number),
                read.mistake);
        }
    }
}

}  // namespace tovask
