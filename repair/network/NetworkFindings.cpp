#include "repair/network/NetworkFindings.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <span>

#include "repair/addresses/ProxyAddress.h"
#include "repair/network/DnsServers.h"
#include "repair/network/NetworkTexts.h"
#include "repair/network/ScriptHost.h"
#include "repair/paths/LocalPaths.h"
#include "repair/users/UserPaths.h"

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

// A user who is not logged on: what would serve the address once they are.
NetworkAssessment servedAtLogon(const std::wstring& where,
                                std::span<const std::wstring> startupPrograms,
                                const NetworkFacts& facts) {
    if (startupPrograms.empty()) {
        return {FindingWeight::Repairable, where + std::wstring(texts::kNothingStartsAtLogon)};
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
        return {FindingWeight::Information, description};
    }
    return {FindingWeight::Repairable,
            description +
                std::wstring(one ? texts::kInUserWritableFolder : texts::kInUserWritableFolders)};
}

// An address on this machine: judged by the program that listens on its port.
NetworkAssessment servedOnLoopback(const std::wstring& where, std::uint16_t port,
                                   const NetworkFacts& facts) {
    std::optional<std::wstring> program;
    for (const auto& listener : facts.listeners) {
        if (listener.port == port && (!program || program->empty())) {
            program = listener.programPath;
        }
    }
    if (!program && !facts.listenersKnown) {
        program = L"";
    }
    if (!program && facts.startupPrograms) {
        return servedAtLogon(where, *facts.startupPrograms, facts);
    }
    if (!program) {
        return {FindingWeight::Repairable, where + std::wstring(texts::kProxyNobodyListens)};
    }
    if (program->empty()) {
        return {FindingWeight::Information, where + std::wstring(texts::kProxyUnknownProgram)};
    }
    const auto servedBy = where + std::wstring(texts::kProxyServedByPrefix) + *program;
    const FindingEvidence evidence{{*program}, {}};
    if (inUserWritableFolder(*program, facts)) {
        return {FindingWeight::Repairable, servedBy + std::wstring(texts::kInUserWritableFolder),
                evidence};
    }
    return {FindingWeight::Information, servedBy, evidence};
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

}  // namespace

NetworkAssessment assessProxy(std::wstring_view proxyServer, const NetworkFacts& facts) {
    if (proxyServer.empty()) {
        return {};
    }
    const auto entries = parseProxyServer(proxyServer);
    if (entries.empty()) {
        return judged({FindingWeight::Information,
                       std::wstring(texts::kProxyPrefix) + std::wstring(proxyServer)},
                      facts);
    }
    NetworkAssessment whole{FindingWeight::Information, {}};
    std::vector<std::wstring> descriptions;
    for (const auto& entry : entries) {
        const auto where = std::wstring(texts::kProxyPrefix) + proxyEntryText(entry);
        const auto one = isLoopbackHost(entry.host)
                             ? servedOnLoopback(where, entry.port, facts)
                             : NetworkAssessment{FindingWeight::Information, where};
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

NetworkAssessment assessScriptAddress(std::wstring_view address, const NetworkFacts& facts) {
    const auto script = classifyScriptAddress(address);
    switch (script.kind) {
        case ScriptAddressKind::None:
            return {};
        case ScriptAddressKind::Data:
            return judged({FindingWeight::Repairable, std::wstring(texts::kScriptInAddress)},
                          facts);
        case ScriptAddressKind::File:
            if (!script.path.empty() && !driveLetterOf(script.path)) {
                return {FindingWeight::Information, std::wstring(texts::kScriptPrefix) +
                                                        script.path +
                                                        std::wstring(texts::kNotOnThisMachine)};
            }
            if (!script.path.empty() && inUserWritableFolder(script.path, facts)) {
                return judged(
                    {FindingWeight::Repairable, std::wstring(texts::kScriptPrefix) + script.path +
                                                    std::wstring(texts::kInUserWritableFolder)},
                    facts, true);
            }
            break;
        case ScriptAddressKind::Other:
            if (const auto server = serverOfWebAddress(address);
                server && isLoopbackHost(server->host)) {
                const auto served =
                    servedOnLoopback(std::wstring(texts::kScriptPrefix) + std::wstring(address),
                                     server->port, facts);
                return judged(served, facts);
            }
            // Banking trojans fetch the script that routes a bank through
            // their proxy from a server of theirs.
            if (const auto server = serverOfWebAddress(address);
                server && isInternetHost(server->host, facts.dnsSuffixes)) {
                return judged({FindingWeight::Repairable, std::wstring(texts::kScriptPrefix) +
                                                              std::wstring(address) +
                                                              std::wstring(texts::kOnInternetHost)},
                              facts);
            }
            break;
    }
    return {FindingWeight::Information, std::wstring(texts::kScriptPrefix) + std::wstring(address)};
}

NetworkAssessment assessNameServers(std::wstring_view value, DnsSource source,
                                    const NetworkFacts& facts) {
    const auto servers = parseNameServers(value);
    if (servers.empty()) {
        return {};
    }
    const bool fromDhcp = source == DnsSource::Dhcp;
    std::wstring description(fromDhcp ? texts::kDhcpDnsPrefix : texts::kStaticDnsPrefix);
    bool hijacked = false;
    for (std::size_t i = 0; i < servers.size(); ++i) {
        description += i == 0 ? L"" : texts::kServerSeparator;
        description += serverWithLabel(servers[i]);
        hijacked = hijacked || isKnownHijackerServer(servers[i]);
    }
    if (fromDhcp) {
        return {FindingWeight::Information, description + std::wstring(texts::kCheckRouter)};
    }
    return judged({hijacked ? FindingWeight::Repairable : FindingWeight::Information, description},
                  facts);
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
