#include "repair/network/NetworkFindings.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <span>

#include "repair/addresses/ProxyAddress.h"
#include "repair/addresses/ScriptHost.h"
#include "repair/network/AdwareProxies.h"
#include "repair/network/DnsServers.h"
#include "repair/network/NetworkTexts.h"
#include "repair/network/WinsockCatalog.h"
#include "repair/paths/LocalPaths.h"
#include "repair/report/FindingTexts.h"
#include "repair/users/UserPaths.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

// A repair that a managed machine keeps from report only must be of a user's
// own setting and of what the user's own software made.
NetworkAssessment judged(NetworkAssessment assessment, const NetworkFacts& facts,
                         bool userMade = false) {
    const bool usersOwn = userMade && !facts.machineWide;
    if (facts.managedMachine && !usersOwn && assessment.weight == FindingWeight::Repairable) {
        assessment.weight = FindingWeight::Information;
    }
    return assessment;
}

bool inUserWritableFolder(std::wstring_view path, const NetworkFacts& facts) {
    const auto normalised = normalisedPath(path);
    const auto resolved = facts.longPathOf ? facts.longPathOf(normalised) : normalised;
    return liesInAnyFolder(resolved, facts.userWritableFolders);
}

std::wstring joined(std::span<const std::wstring> items, std::wstring_view separator) {
    std::wstring text;
    for (const auto& item : items) {
        text += text.empty() ? L"" : separator;
        text += item;
    }
    return text;
}

// What a proxy's or a script's title says of the program behind an address on
// this machine.
struct ServedWords {
    std::wstring_view nobody;
    std::wstring_view unknown;
    std::wstring_view inUserFolder;
    std::wstring_view onThisMachine;
    std::wstring_view atLogon;
    std::wstring_view ofThePerson;
    std::wstring_view adware;
    std::wstring_view startedAsHijack;
};

constexpr ServedWords kProxyWords{texts::kProxyNotWorkingTitle, texts::kProxyUnknownTitle,
                                  texts::kProxyUserFolderTitle, texts::kProxyThisMachineTitle,
                                  texts::kProxyAtLogonTitle,    texts::kProxyOfThePersonTitle,
                                  texts::kProxyAdwareTitle,     texts::kProxyHijackTitle};
constexpr ServedWords kScriptWords{texts::kScriptNotWorkingTitle, texts::kScriptUnknownTitle,
                                   texts::kScriptUserFolderTitle, texts::kScriptThisMachineTitle,
                                   texts::kScriptAtLogonTitle,    texts::kScriptOfThePersonTitle,
                                   texts::kScriptAdwareTitle,     texts::kScriptHijackTitle};

// An address served on this machine: where it points, and the words for it.
struct Served {
    std::wstring where;  // the report's text
    std::wstring shown;  // the title's value
    const ServedWords& words;

    NetworkAssessment assessed(FindingWeight weight, std::wstring description,
                               std::wstring_view what, FindingEvidence evidence = {}) const {
        return {
            weight, std::move(description), std::move(evidence), {.what = what, .value = shown}};
    }
};

// A debugging proxy, a circumvention tool or a developer's proxy is started
// by the person at their own desktop; a service or another user's program
// is not the person's choice.
bool isThePersonsOwn(const LoopbackListener& listener, const NetworkFacts& facts) {
    return !facts.personSid.empty() && equalsIgnoringCase(listener.sessionUserSid, facts.personSid);
}

// A user who is not logged on: what would serve the address once they are.
NetworkAssessment servedAtLogon(const Served& served, std::span<const std::wstring> startupPrograms,
                                const NetworkFacts& facts) {
    const auto& where = served.where;
    if (startupPrograms.empty()) {
        return served.assessed(FindingWeight::Repairable,
                               where + std::wstring(texts::kNothingStartsAtLogon),
                               served.words.nobody);
    }
    std::vector<std::wstring> writable;
    for (const auto& program : startupPrograms) {
        if (inUserWritableFolder(program, facts)) {
            writable.push_back(program);
        }
    }
    const auto named = writable.empty() ? startupPrograms : std::span<const std::wstring>(writable);
    const bool one = named.size() == 1;
    auto description = where + std::wstring(one ? texts::kStartsAtLogon : texts::kStartAtLogon) +
                       joined(named, texts::kServerSeparator);
    if (writable.empty()) {
        return served.assessed(FindingWeight::Information, description, served.words.atLogon);
    }
    return served.assessed(FindingWeight::Repairable,
                           description + std::wstring(one ? texts::kInUserWritableFolder
                                                          : texts::kInUserWritableFolders),
                           served.words.inUserFolder);
}

// An address on this machine: judged by the program that listens on its port.
NetworkAssessment servedOnLoopback(const Served& served, std::uint16_t port,
                                   const NetworkFacts& facts) {
    const auto& where = served.where;
    std::optional<std::wstring> program;
    const LoopbackListener* named = nullptr;
    for (const auto& listener : facts.listeners) {
        if (listener.port == port && (!program || program->empty())) {
            program = listener.programPath;
            named = &listener;
        }
    }
    if (!program && !facts.listenersKnown) {
        program = L"";
    }
    if (!program && facts.startupPrograms) {
        return servedAtLogon(served, *facts.startupPrograms, facts);
    }
    if (!program) {
        return served.assessed(FindingWeight::Repairable,
                               where + std::wstring(texts::kProxyNobodyListens),
                               served.words.nobody);
    }
    if (program->empty()) {
        return served.assessed(FindingWeight::Information,
                               where + std::wstring(texts::kProxyUnknownProgram),
                               served.words.unknown);
    }
    const auto servedBy = where + std::wstring(texts::kProxyServedByPrefix) + *program;
    const FindingEvidence evidence{{*program}, {}};
    if (isKnownAdwareProxy(*program)) {
        return served.assessed(FindingWeight::Repairable,
                               servedBy + std::wstring(texts::kKnownAdwareProxy),
                               served.words.adware, evidence);
    }
    const bool startupFinding = facts.isStartupFinding && facts.isStartupFinding(*program);
    if (!startupFinding && isThePersonsOwn(*named, facts)) {
        return served.assessed(FindingWeight::Information,
                               servedBy + std::wstring(texts::kProxyOfThePerson),
                               served.words.ofThePerson, evidence);
    }
    if (inUserWritableFolder(*program, facts)) {
        return served.assessed(FindingWeight::Repairable,
                               servedBy + std::wstring(texts::kInUserWritableFolder),
                               served.words.inUserFolder, evidence);
    }
    if (startupFinding) {
        return served.assessed(FindingWeight::Repairable,
                               servedBy + std::wstring(texts::kStartedAsHijack),
                               served.words.startedAsHijack, evidence);
    }
    return served.assessed(FindingWeight::Information, servedBy, served.words.onThisMachine,
                           evidence);
}

std::wstring serverWithLabel(const std::wstring& server) {
    if (isKnownHijackerServer(server)) {
        return server + L" (" + std::wstring(texts::kHijackerRange) + L")";
    }
    if (const auto name = publicResolverName(server)) {
        return server + L" (" + std::wstring(*name) + L")";
    }
    return server;
}

NetworkAssessment proxyJudgement(std::wstring_view proxyServer, const NetworkFacts& facts) {
    if (proxyServer.empty()) {
        return {};
    }
    const auto entries = parseProxyServer(proxyServer);
    if (entries.empty()) {
        return judged({FindingWeight::Information,
                       std::wstring(texts::kProxyPrefix) + std::wstring(proxyServer),
                       {},
                       {.what = texts::kProxySetTitle, .value = std::wstring(proxyServer)}},
                      facts);
    }
    NetworkAssessment whole{FindingWeight::Information, {}};
    std::vector<std::wstring> descriptions;
    for (const auto& entry : entries) {
        const auto shown = proxyEntryText(entry);
        const auto where = std::wstring(texts::kProxyPrefix) + shown;
        const auto one =
            isLoopbackHost(entry.host)
                ? servedOnLoopback({where, shown, kProxyWords}, entry.port, facts)
                : NetworkAssessment{FindingWeight::Information,
                                    where,
                                    {},
                                    {.what = texts::kProxyElsewhereTitle, .value = shown}};
        // The title tells of the entry that weighs most, the first of them.
        if (whole.title.what.empty() || one.weight > whole.weight) {
            whole.title = one.title;
        }
        whole.weight = std::max(whole.weight, one.weight);
        if (std::ranges::find(descriptions, one.description) == descriptions.end()) {
            descriptions.push_back(one.description);
        }
        std::ranges::copy(one.evidence.servingPrograms,
                          std::back_inserter(whole.evidence.servingPrograms));
    }
    whole.description = joined(descriptions, texts::kEntrySeparator);
    // Only a proxy on this machine is ever repairable.
    return judged(std::move(whole), facts, true);
}

NetworkAssessment scriptJudgement(std::wstring_view address, const NetworkFacts& facts) {
    const auto script = classifyScriptAddress(address);
    const auto titled = [](std::wstring_view what, std::wstring_view value) {
        return FindingTitle{.what = what, .value = std::wstring(value)};
    };
    switch (script.kind) {
        case ScriptAddressKind::None:
            return {};
        case ScriptAddressKind::Data:
            return judged({FindingWeight::Repairable,
                           std::wstring(texts::kScriptInAddress),
                           {},
                           titled(texts::kProxyScriptTitle, texts::kWrittenInTheAddress)},
                          facts);
        case ScriptAddressKind::File:
            if (!script.path.empty() && !driveLetterOf(script.path)) {
                return {FindingWeight::Information,
                        std::wstring(texts::kScriptPrefix) + script.path +
                            std::wstring(texts::kNotOnThisMachine),
                        {},
                        titled(texts::kScriptElsewhereTitle, script.path)};
            }
            if (!script.path.empty() && inUserWritableFolder(script.path, facts)) {
                return judged({FindingWeight::Repairable,
                               std::wstring(texts::kScriptPrefix) + script.path +
                                   std::wstring(texts::kInUserWritableFolder),
                               {},
                               titled(texts::kScriptInUserFolderTitle, script.path)},
                              facts, true);
            }
            break;
        case ScriptAddressKind::Other:
            if (const auto server = serverOfWebAddress(address);
                server && isLoopbackHost(server->host)) {
                const auto served =
                    servedOnLoopback({std::wstring(texts::kScriptPrefix) + std::wstring(address),
                                      std::wstring(address), kScriptWords},
                                     server->port, facts);
                return judged(served, facts);
            }
            // Banking trojans fetch the script that routes a bank through
            // their proxy from a server of theirs.
            if (const auto server = serverOfWebAddress(address);
                server && isInternetHost(server->host, facts.dnsSuffixes)) {
                return judged({FindingWeight::Repairable,
                               std::wstring(texts::kScriptPrefix) + std::wstring(address) +
                                   std::wstring(texts::kOnInternetHost),
                               {},
                               titled(texts::kScriptOnInternetTitle, address)},
                              facts);
            }
            break;
    }
    return {FindingWeight::Information,
            std::wstring(texts::kScriptPrefix) + std::wstring(address),
            {},
            titled(texts::kProxyScriptTitle, address)};
}

NetworkAssessment nameServersJudgement(std::wstring_view value, DnsSource source,
                                       const NetworkFacts& facts) {
    const auto servers = parseNameServers(value);
    if (servers.empty()) {
        return {};
    }
    const bool fromDhcp = source == DnsSource::Dhcp;
    std::wstring description(fromDhcp ? texts::kDhcpDnsPrefix : texts::kStaticDnsPrefix);
    std::wstring shown;
    bool hijacked = false;
    for (std::size_t i = 0; i < servers.size(); ++i) {
        description += i == 0 ? L"" : texts::kServerSeparator;
        description += serverWithLabel(servers[i]);
        shown += (i == 0 ? L"" : std::wstring(texts::kServerSeparator)) + servers[i];
        hijacked = hijacked || isKnownHijackerServer(servers[i]);
    }
    if (fromDhcp) {
        return {FindingWeight::Information,
                description + std::wstring(texts::kCheckRouter),
                {},
                {.what = texts::kRouterDnsTitle, .value = std::move(shown)}};
    }
    const auto what = hijacked ? texts::kHijackerDnsTitle : texts::kFixedDnsTitle;
    return judged({hijacked ? FindingWeight::Repairable : FindingWeight::Information,
                   description,
                   {},
                   {.what = what, .value = std::move(shown)}},
                  facts);
}

// What each judgement is of, for an allow list: the proxy setting, the
// script's address, each DNS server; nothing where it is no finding.
NetworkAssessment ofSetting(NetworkAssessment assessment, std::vector<std::wstring> sets) {
    if (assessment.weight != FindingWeight::None) {
        assessment.evidence.sets = std::move(sets);
    }
    return assessment;
}

}  // namespace

NetworkAssessment assessProxy(std::wstring_view proxyServer, const NetworkFacts& facts) {
    return ofSetting(proxyJudgement(proxyServer, facts), {std::wstring(proxyServer)});
}

NetworkAssessment assessScriptAddress(std::wstring_view address, const NetworkFacts& facts) {
    return ofSetting(scriptJudgement(address, facts), {std::wstring(address)});
}

NetworkAssessment assessNameServers(std::wstring_view value, DnsSource source,
                                    const NetworkFacts& facts) {
    return ofSetting(nameServersJudgement(value, source, facts), parseNameServers(value));
}

NetworkAssessment assessNameResolutionRule(const NameResolutionRule& rule,
                                           const NetworkFacts& facts) {
    std::vector<std::wstring> reached;
    for (const auto& name : rule.names) {
        if (reachesInternetNames(name, facts.dnsSuffixes)) {
            reached.push_back(name == L"." ? std::wstring(texts::kEveryName) : name);
        }
    }
    if (reached.empty() || rule.servers.empty()) {
        return {};
    }
    std::vector<std::wstring> labelled;
    std::ranges::transform(rule.servers, std::back_inserter(labelled), serverWithLabel);
    const auto names = joined(reached, texts::kServerSeparator);
    return judged({FindingWeight::Repairable,
                   std::wstring(texts::kNameRulePrefix) + names +
                       std::wstring(labelled.size() == 1 ? texts::kNameRuleToServer
                                                         : texts::kNameRuleToServers) +
                       joined(labelled, texts::kServerSeparator),
                   {},
                   {.what = texts::kNameRuleTitle,
                    .value = names + L" (" + joined(rule.servers, texts::kServerSeparator) + L")"}},
                  facts);
}

NetworkAssessment assessWinsockProvider(std::wstring_view library, std::wstring_view protocol,
                                        std::wstring_view systemFolder, const NetworkFacts& facts) {
    if (isWindowsProvider(library, systemFolder)) {
        return {};
    }
    const bool userFolder = inUserWritableFolder(library, facts);
    return {FindingWeight::Information,
            std::wstring(texts::kWinsockProviderPrefix) + std::wstring(library) +
                std::wstring(userFolder ? texts::kInUserWritableFolder : L"") +
                std::wstring(texts::kWinsockProviderRemoval),
            {},
            {.what = userFolder ? texts::kWinsockProviderInUserFolderTitle
                                : texts::kWinsockProviderTitle,
             .name = std::wstring(protocol),
             .value = std::wstring(library)}};
}

ClearedEntries ConnectionAssessment::cleared() const {
    return {.proxyServer = proxy.weight == FindingWeight::Repairable,
            .scriptAddress = script.weight == FindingWeight::Repairable};
}

ConnectionAssessment assessConnectionSettings(const ConnectionSettings& settings,
                                              const NetworkFacts& facts) {
    ConnectionAssessment assessment;
    if ((settings.flags & connectionflags::kProxy) != 0) {
        assessment.proxy = assessProxy(widenedText(settings.proxyServer), facts);
    }
    if ((settings.flags & connectionflags::kAutoConfigScript) != 0) {
        assessment.script = assessScriptAddress(widenedText(settings.scriptAddress), facts);
    }
    return assessment;
}

NetworkAssessment assessWinHttpSettings(const WinHttpSettings& settings,
                                        const NetworkFacts& facts) {
    return settings.usesProxy() ? assessProxy(widenedText(settings.proxyServer), facts)
                                : NetworkAssessment{};
}

}  // namespace tovask
