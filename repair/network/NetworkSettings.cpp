#include "repair/network/NetworkSettings.h"

#include <algorithm>
#include <array>
#include <map>

#include "repair/addresses/ProxyAddress.h"
#include "repair/backup/RegistryKeyNames.h"
#include "repair/commands/SystemProgramNames.h"
#include "repair/network/ConnectionSettings.h"
#include "repair/network/DnsServers.h"
#include "repair/network/NetworkFindings.h"
#include "repair/network/NetworkKeys.h"
#include "repair/network/NetworkTexts.h"
#include "repair/network/StartupPrograms.h"
#include "repair/network/WinsockCatalog.h"
#include "repair/paths/LocalPaths.h"
#include "repair/paths/WritableFolders.h"
#include "repair/policykeys/PolicyKeyContent.h"
#include "repair/users/UserHives.h"
#include "repair/users/UserPaths.h"
#include "text/RegistryEncoding.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

std::wstring placeName(const KeyPlace& place, std::wstring_view valueName) {
    const auto key = fileKeyName(place.root, place.key, place.view);
    return valueName.empty() ? key : key + L"\\" + std::wstring(valueName);
}

// The machine's own settings and those of the system's accounts, which an
// organisation sets for every user, are never a user's own.
bool isMachineWideHive(std::wstring_view hive) {
    const auto name = hive.substr(hive.find(L'\\') + 1);
    return equalsIgnoringCase(hive, L"HKLM") || equalsIgnoringCase(name, L".DEFAULT") ||
           name == L"S-1-5-18";
}

RegistryValue binaryValue(std::vector<std::uint8_t> bytes) {
    return {regtype::kBinary, std::move(bytes)};
}

bool isLoopbackOrAnyAddress(std::wstring_view address) {
    return address.starts_with(L"127.") || address == L"0.0.0.0" || address == L"::1" ||
           address == L"::";
}

bool needsListeners(std::wstring_view proxyServer) {
    return std::ranges::any_of(parseProxyServer(proxyServer),
                               [](const ProxyEntry& entry) { return isLoopbackHost(entry.host); });
}

// A file: address is judged by its folder, one on this machine by its listener.
bool scriptNeedsSystem(std::wstring_view scriptAddress) {
    const auto server = serverOfWebAddress(scriptAddress);
    return classifyScriptAddress(scriptAddress).kind == ScriptAddressKind::File ||
           (server && isLoopbackHost(server->host));
}

// A script on a web server other than this machine: the machine's DNS
// suffixes tell whether its host is the intranet's.
bool scriptNeedsSuffixes(std::wstring_view scriptAddress) {
    const auto server = serverOfWebAddress(scriptAddress);
    return server && !isLoopbackHost(server->host);
}

// Where Windows keeps the machine's DNS suffixes: its own, the one DHCP
// gives, the search list, and each adapter's.
constexpr std::array<std::wstring_view, 4> kMachineSuffixValues = {L"Domain", L"NV Domain",
                                                                   L"DhcpDomain", L"SearchList"};
constexpr std::array<std::wstring_view, 2> kAdapterSuffixValues = {L"Domain", L"DhcpDomain"};

// A search list separates its suffixes with commas or blanks.
void addSuffixes(const RegistryValue& value, std::vector<std::wstring>& suffixes) {
    const auto text = textOf(value).value_or(L"");
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = std::min(text.find_first_of(L", \t", start), text.size());
        if (end > start) {
            suffixes.push_back(text.substr(start, end - start));
        }
        start = end + 1;
    }
}

// A user's hive that the run loaded itself: the user is not logged on, since
// a logon loads the user's hive and keeps it loaded.
bool isLoggedOffUsersHive(std::wstring_view hive) {
    const auto prefix = L"HKU\\" + std::wstring(kTemporaryHivePrefix);
    return hive.size() > prefix.size() && equalsIgnoringCase(hive.substr(0, prefix.size()), prefix);
}

class NetworkScan {
  public:
    NetworkScan(PlatformOps& platform, UserFoldersOfThisRun& userFolders, bool managedMachine,
                StartupHijackRule isStartupHijack, FailureLog& failures)
        : platform_(platform),
          userFolders_(userFolders),
          isStartupHijack_(isStartupHijack),
          failures_(failures) {
        plainFacts_.managedMachine = managedMachine;
    }

    void scanInternetSettings(std::wstring_view hive, RegistryView view);
    void scanWinHttp();
    bool machineWideProxy();
    void scanDns();
    void scanNameResolutionRules();
    void scanWinsockProviders();

    std::vector<NetworkFinding> found;

  private:
    // The sockets and the folders, read the first time a setting needs them.
    const NetworkFacts& factsFor(bool needsSystem);
    // For a setting of one hive: the machine's own and the system accounts'
    // are machine-wide, and a user who is not logged on is judged with what
    // starts at the user's logon.
    // A script on a web server needs the machine's DNS suffixes too.
    NetworkFacts factsFor(bool needsSystem, std::wstring_view hive, bool needsSuffixes = false);
    const std::vector<std::wstring>& dnsSuffixes();
    std::optional<RegistryValue> read(const KeyPlace& place, std::wstring_view valueName);
    void add(const KeyPlace& place, std::wstring_view valueName, FindingSubject subject,
             std::wstring_view group, NetworkArea area, const NetworkAssessment& assessment,
             std::vector<NetworkValueEdit> edits = {});
    void scanNameServers(const KeyPlace& place, const RegistryKeyContent* content);
    // The subkeys of a key, none when it is missing; a failure to read it is logged.
    std::optional<RegistryKeyContent> readTree(const KeyPlace& place);

    PlatformOps& platform_;
    UserFoldersOfThisRun& userFolders_;
    StartupHijackRule isStartupHijack_;
    FailureLog& failures_;
    NetworkFacts plainFacts_;
    std::optional<NetworkFacts> systemFacts_;
    std::optional<std::vector<std::wstring>> dnsSuffixes_;
    // The start-up programs of the last user read who is not logged on, by hive.
    std::optional<std::pair<std::wstring, std::vector<std::wstring>>> loggedOffUser_;
    // A logged-on user's facts of the programs serving the user's own proxy.
    void addThePerson(std::wstring_view hive, NetworkFacts& facts);
    bool isStartupFinding(std::wstring_view hive, std::wstring_view program);
    std::optional<WindowsProgramFolders> windowsFolders_;
    std::map<std::wstring, std::vector<std::wstring>, std::less<>> hijackingRunPrograms_;
};

void NetworkScan::addThePerson(std::wstring_view hive, NetworkFacts& facts) {
    if (const auto sid = sidOfHive(platform_, hive); sid.ok()) {
        facts.personSid = sid.value();
    }
    facts.isStartupFinding = [this, hive = std::wstring(hive)](std::wstring_view program) {
        return isStartupFinding(hive, program);
    };
}

// As the start-up programs' kind judges it: a program that takes the name of
// one of Windows' own from elsewhere, or one that a hijacking Run command of
// the person starts.
bool NetworkScan::isStartupFinding(std::wstring_view hive, std::wstring_view program) {
    if (!windowsFolders_) {
        const auto windows = platform_.GetSpecialFolder(SpecialFolder::Windows);
        if (!windows.ok()) {
            failures_.add(L"%SystemRoot%", windows.error());
        }
        windowsFolders_ = WindowsProgramFolders{windows.ok() ? windows.value() : L"",
                                                platform_.HasTwoRegistryViews()};
    }
    if (systemNameImpostor(program, *windowsFolders_, windowsFolders_->windows + L"\\System32")) {
        return true;
    }
    auto started = hijackingRunPrograms_.find(hive);
    if (started == hijackingRunPrograms_.end()) {
        started =
            hijackingRunPrograms_
                .emplace(std::wstring(hive), hijackingRunPrograms(platform_, hive, userFolders_,
                                                                  isStartupHijack_, failures_))
                .first;
    }
    const auto running = comparablePath(program);
    const auto fileName = running.substr(running.rfind(L'\\') + 1);
    return std::ranges::any_of(started->second, [&](const std::wstring& named) {
        const auto comparable = comparablePath(named);
        return comparable.find(L'\\') == std::wstring::npos ? comparable == fileName
                                                            : comparable == running;
    });
}

NetworkFacts NetworkScan::factsFor(bool needsSystem, std::wstring_view hive, bool needsSuffixes) {
    auto facts = factsFor(needsSystem);
    // On a managed machine such a script is information whatever its host.
    if (needsSuffixes && !facts.managedMachine) {
        facts.dnsSuffixes = dnsSuffixes();
    }
    if (needsSystem && isLoggedOffUsersHive(hive)) {
        if (!loggedOffUser_ || loggedOffUser_->first != hive) {
            loggedOffUser_.emplace(std::wstring(hive),
                                   startupPrograms(platform_, hive, userFolders_, failures_));
        }
        facts.startupPrograms = loggedOffUser_->second;
    } else if (needsSystem && !isMachineWideHive(hive)) {
        addThePerson(hive, facts);
    }
    facts.machineWide = isMachineWideHive(hive);
    return facts;
}

const NetworkFacts& NetworkScan::factsFor(bool needsSystem) {
    if (!needsSystem) {
        return plainFacts_;
    }
    if (systemFacts_) {
        return *systemFacts_;
    }
    auto& facts = systemFacts_.emplace(plainFacts_);
    facts.longPathOf = [this](std::wstring_view path) { return longPathOf(platform_, path); };
    const auto sockets = platform_.ListeningSockets();
    if (!sockets.ok()) {
        failures_.add(L"GetExtendedTcpTable", sockets.error());
        facts.listenersKnown = false;
    } else {
        for (const auto& socket : sockets.value()) {
            if (isLoopbackOrAnyAddress(socket.address)) {
                facts.listeners.push_back({socket.port, socket.programPath, socket.sessionUserSid});
            }
        }
    }
    facts.userWritableFolders = userFolders_.writable();
    return facts;
}

const std::vector<std::wstring>& NetworkScan::dnsSuffixes() {
    if (dnsSuffixes_) {
        return *dnsSuffixes_;
    }
    auto& suffixes = dnsSuffixes_.emplace();
    const KeyPlace parameters{RegistryRoot::LocalMachine, std::wstring(kTcpipParameters.front()),
                              RegistryView::Default};
    for (const auto name : kMachineSuffixValues) {
        if (const auto value = read(parameters, name)) {
            addSuffixes(*value, suffixes);
        }
    }
    const auto interfacesPath = platformKeyPath(parameters) + L"Interfaces\\";
    const auto interfaces = platform_.RegReadTree(interfacesPath, RegistryView::Default);
    if (!interfaces.ok()) {
        if (!isNotFound(interfaces.error())) {
            failures_.add(interfacesPath, interfaces.error());
        }
        return suffixes;
    }
    for (const auto& adapter : interfaces.value().subkeys) {
        for (const auto& value : adapter.values) {
            if (std::ranges::any_of(kAdapterSuffixValues, [&](std::wstring_view name) {
                    return equalsIgnoringCase(value.name, name);
                })) {
                addSuffixes(value.value, suffixes);
            }
        }
    }
    return suffixes;
}

std::optional<RegistryValue> NetworkScan::read(const KeyPlace& place, std::wstring_view valueName) {
    const auto path = platformKeyPath(place) + std::wstring(valueName);
    auto value = platform_.RegReadValue(path, place.view);
    if (!value.ok()) {
        if (!isNotFound(value.error())) {
            failures_.add(path, value.error());
        }
        return std::nullopt;
    }
    return value.value();
}

void NetworkScan::add(const KeyPlace& place, std::wstring_view valueName, FindingSubject subject,
                      std::wstring_view group, NetworkArea area,
                      const NetworkAssessment& assessment, std::vector<NetworkValueEdit> edits) {
    if (assessment.weight == FindingWeight::None) {
        return;
    }
    const bool repairable = assessment.weight == FindingWeight::Repairable;
    auto finding = withSubject(
        subject, {FindingKind::Network, std::wstring(group), placeName(place, valueName),
                  assessment.description, repairable, PolicyHives::None, assessment.evidence});
    finding.title = assessment.title;
    found.push_back({std::move(finding), area,
                     repairable ? std::move(edits) : std::vector<NetworkValueEdit>{}});
}

// The string values and the binary ones of one hive, judged apart; what
// repairs them is written as one, so that the two agree afterwards.
void NetworkScan::scanInternetSettings(std::wstring_view hive, RegistryView view) {
    auto settings = hivePlace(hive, kInternetSettingsKey);
    auto connections = hivePlace(hive, kConnectionsKey);
    settings.view = connections.view = view;
    const auto enable = read(settings, kProxyEnable);
    const auto server = read(settings, kProxyServer);
    const auto script = read(settings, kAutoConfigUrl);
    const auto serverText = server ? textOf(*server).value_or(L"") : L"";
    const auto scriptText = script ? textOf(*script).value_or(L"") : L"";
    const bool proxyOn = enable && dwordOf(*enable).value_or(0) != 0;

    const auto proxy = proxyOn ? assessProxy(serverText, factsFor(needsListeners(serverText), hive))
                               : NetworkAssessment{};
    const auto autoConfig = assessScriptAddress(
        scriptText, factsFor(scriptNeedsSystem(scriptText), hive, scriptNeedsSuffixes(scriptText)));
    const auto firstFinding = found.size();
    add(settings, kProxyServer, FindingSubject::ProxyServer, texts::kNetworkGroup,
        NetworkArea::InternetSettings, proxy);
    add(settings, kAutoConfigUrl, FindingSubject::ProxyScript, texts::kNetworkGroup,
        NetworkArea::InternetSettings, autoConfig);

    std::vector<NetworkValueEdit> edits;
    ClearedEntries clearedAnywhere{proxy.weight == FindingWeight::Repairable,
                                   autoConfig.weight == FindingWeight::Repairable};
    for (const auto name : kConnectionBlobs) {
        const auto blob = read(connections, name);
        if (!blob) {
            continue;
        }
        const auto decoded = decodeConnectionSettings(blob->bytes);
        if (!decoded.ok()) {
            failures_.add(placeName(connections, name), texts::kUnreadableSettings);
            continue;
        }
        const auto& blobSettings = decoded.value();
        const bool needsSystem = needsListeners(widenedText(blobSettings.proxyServer)) ||
                                 scriptNeedsSystem(widenedText(blobSettings.scriptAddress));
        const auto assessment = assessConnectionSettings(
            blobSettings, factsFor(needsSystem, hive,
                                   scriptNeedsSuffixes(widenedText(blobSettings.scriptAddress))));
        add(connections, name, FindingSubject::ProxyServer, texts::kNetworkGroup,
            NetworkArea::InternetSettings, assessment.proxy);
        add(connections, name, FindingSubject::ProxyScript, texts::kNetworkGroup,
            NetworkArea::InternetSettings, assessment.script);
        const auto cleared = assessment.cleared();
        if (cleared.any()) {
            edits.push_back({connections.root, connections.key, view, std::wstring(name), *blob,
                             binaryValue(encodeConnectionSettings(
                                 repairedConnectionSettings(blobSettings, cleared)))});
        }
        clearedAnywhere.proxyServer = clearedAnywhere.proxyServer || cleared.proxyServer;
        clearedAnywhere.scriptAddress = clearedAnywhere.scriptAddress || cleared.scriptAddress;
    }
    // A string value that names what the repair takes away goes with it.
    if (clearedAnywhere.proxyServer && server &&
        assessProxy(serverText, factsFor(needsListeners(serverText), hive)).weight ==
            FindingWeight::Repairable) {
        edits.push_back(
            {settings.root, settings.key, view, std::wstring(kProxyServer), *server, std::nullopt});
        if (proxyOn) {
            edits.push_back({settings.root, settings.key, view, std::wstring(kProxyEnable), *enable,
                             dwordValue(0)});
        }
    }
    if (autoConfig.weight == FindingWeight::Repairable) {
        edits.push_back({settings.root, settings.key, view, std::wstring(kAutoConfigUrl), *script,
                         std::nullopt});
    }
    const auto first =
        std::find_if(found.begin() + static_cast<std::ptrdiff_t>(firstFinding), found.end(),
                     [](const NetworkFinding& finding) { return finding.finding.repairable; });
    if (first != found.end()) {
        first->edits = std::move(edits);
    }
}

void NetworkScan::scanWinHttp() {
    for (const auto view :
         viewsFor(RegistryRoot::LocalMachine, kConnectionsKey, platform_.HasTwoRegistryViews())) {
        const KeyPlace connections{RegistryRoot::LocalMachine, std::wstring(kConnectionsKey), view};
        const auto blob = read(connections, kWinHttpSettings);
        if (!blob) {
            continue;
        }
        const auto decoded = decodeWinHttpSettings(blob->bytes);
        if (!decoded.ok()) {
            failures_.add(placeName(connections, kWinHttpSettings), texts::kUnreadableSettings);
            continue;
        }
        const auto& settings = decoded.value();
        const auto assessment = assessWinHttpSettings(
            settings, factsFor(needsListeners(widenedText(settings.proxyServer)), L"HKLM"));
        add(connections, kWinHttpSettings, FindingSubject::ProxyServer, texts::kNetworkGroup,
            NetworkArea::InternetSettings, assessment,
            {{connections.root, connections.key, view, std::wstring(kWinHttpSettings), *blob,
              binaryValue(encodeWinHttpSettings(directWinHttpSettings(settings)))}});
    }
}

// ProxySettingsPerUser 0: every user browses with the machine's own settings.
bool NetworkScan::machineWideProxy() {
    const auto policy = platform_.RegReadValue(kProxyPerUserPath, RegistryView::Default);
    if (!policy.ok()) {
        if (!isNotFound(policy.error())) {
            failures_.add(kProxyPerUserPath, policy.error());
        }
        return false;
    }
    if (dwordOf(policy.value()) != 0u) {
        return false;
    }
    auto finding = withSubject(
        FindingSubject::ProxyServer,
        {FindingKind::Network, std::wstring(texts::kNetworkGroup),
         fileKeyName(RegistryRoot::LocalMachine, std::wstring_view(kProxyPerUserPath).substr(5),
                     RegistryView::Default),
         std::wstring(texts::kMachineWideProxy), false});
    finding.title = {.what = texts::kMachineWideProxyTitle,
                     .value = std::wstring(texts::kSameForEveryUser)};
    found.push_back({std::move(finding), NetworkArea::InternetSettings, {}});
    return true;
}

void NetworkScan::scanNameServers(const KeyPlace& place, const RegistryKeyContent* content) {
    std::optional<RegistryValue> statics;
    std::optional<RegistryValue> dhcp;
    if (content != nullptr) {
        for (const auto& value : content->values) {
            if (equalsIgnoringCase(value.name, kNameServer)) {
                statics = value.value;
            } else if (equalsIgnoringCase(value.name, kDhcpNameServer)) {
                dhcp = value.value;
            }
        }
    } else {
        statics = read(place, kNameServer);
        dhcp = read(place, kDhcpNameServer);
    }
    const auto staticText = statics ? textOf(*statics).value_or(L"") : L"";
    if (!parseNameServers(staticText).empty()) {
        add(place, kNameServer, FindingSubject::DnsServer, texts::kNetworkGroup, NetworkArea::Dns,
            assessNameServers(staticText, DnsSource::Static, plainFacts_),
            {{place.root, place.key, place.view, std::wstring(kNameServer), *statics,
              stringValue(withoutHijackerServers(staticText))}});
        return;
    }
    if (dhcp) {
        add(place, kDhcpNameServer, FindingSubject::DnsServer, texts::kNetworkGroup,
            NetworkArea::Dns,
            assessNameServers(textOf(*dhcp).value_or(L""), DnsSource::Dhcp, plainFacts_));
    }
}

void NetworkScan::scanDns() {
    for (const auto parameters : kTcpipParameters) {
        const KeyPlace global{RegistryRoot::LocalMachine, std::wstring(parameters),
                              RegistryView::Default};
        scanNameServers(global, nullptr);
        const auto interfacesPath = platformKeyPath(global) + L"Interfaces\\";
        const auto interfaces = platform_.RegReadTree(interfacesPath, RegistryView::Default);
        if (!interfaces.ok()) {
            if (!isNotFound(interfaces.error())) {
                failures_.add(interfacesPath, interfaces.error());
            }
            continue;
        }
        for (const auto& adapter : interfaces.value().subkeys) {
            scanNameServers({RegistryRoot::LocalMachine,
                             std::wstring(parameters) + L"\\Interfaces\\" + adapter.name,
                             RegistryView::Default},
                            &adapter);
        }
    }
}

std::optional<RegistryKeyContent> NetworkScan::readTree(const KeyPlace& place) {
    const auto path = platformKeyPath(place);
    auto tree = platform_.RegReadTree(path, place.view);
    if (!tree.ok()) {
        if (!isNotFound(tree.error())) {
            failures_.add(path, tree.error());
        }
        return std::nullopt;
    }
    return std::move(tree).value();
}

// A rule is taken away whole, as the command that removes one does.
void NetworkScan::scanNameResolutionRules() {
    for (const auto store : kNameRuleStores) {
        for (const auto view :
             viewsFor(RegistryRoot::LocalMachine, store, platform_.HasTwoRegistryViews())) {
            const auto rules = readTree({RegistryRoot::LocalMachine, std::wstring(store), view});
            for (const auto& key : rules ? rules->subkeys : std::vector<RegistryKeyContent>{}) {
                const KeyPlace place{RegistryRoot::LocalMachine,
                                     std::wstring(store) + L"\\" + key.name, view};
                const auto rule = readNameResolutionRule(key);
                if (!rule) {
                    failures_.add(platformKeyPath(place), texts::kUnreadableNameRule);
                    continue;
                }
                const auto assessment =
                    assessNameResolutionRule(*rule, factsFor(false, L"HKLM", true));
                add(place, {}, FindingSubject::DnsServer, texts::kNetworkGroup, NetworkArea::Dns,
                    assessment);
                if (assessment.weight == FindingWeight::Repairable) {
                    found.back().removal = NetworkKeyRemoval{place, key};
                }
            }
        }
    }
}

// Windows names its own providers' libraries by %SystemRoot%: each is judged
// expanded, against the system folder; one library is told once a catalog.
void NetworkScan::scanWinsockProviders() {
    std::optional<Result<std::wstring>> systemFolder;
    for (const auto& catalog : kWinsockCatalogs) {
        const auto entries = readTree(
            {RegistryRoot::LocalMachine, std::wstring(catalog.entriesKey), RegistryView::Default});
        std::vector<std::wstring> told;
        for (const auto& entry : entries ? entries->subkeys : std::vector<RegistryKeyContent>{}) {
            const KeyPlace place{RegistryRoot::LocalMachine,
                                 std::wstring(catalog.entriesKey) + L"\\" + entry.name,
                                 RegistryView::Default};
            const auto* value = findValue(entry, catalog.libraryValue);
            if (value == nullptr) {
                continue;
            }
            const auto packed = catalog.packed && value->value.type == regtype::kBinary
                                    ? readPackedProvider(value->value.bytes)
                                    : std::nullopt;
            const auto plain = catalog.packed ? std::nullopt : textOf(value->value);
            if (!packed && !plain) {
                failures_.add(placeName(place, catalog.libraryValue),
                              texts::kUnreadableWinsockEntry);
                continue;
            }
            if (!systemFolder) {
                systemFolder = platform_.GetSpecialFolder(SpecialFolder::System);
                if (!systemFolder->ok()) {
                    failures_.add(L"%SystemRoot%\\system32", systemFolder->error());
                }
            }
            if (!systemFolder->ok()) {
                return;
            }
            const auto library = packed ? packed->library : *plain;
            const auto expanded = platform_.ExpandEnvironment(library);
            if (!expanded.ok()) {
                failures_.add(library, expanded.error());
                continue;
            }
            const auto comparable = comparablePath(expanded.value());
            if (std::ranges::find(told, comparable) != told.end()) {
                continue;
            }
            const auto assessment =
                assessWinsockProvider(expanded.value(), packed ? packed->protocol : L"",
                                      systemFolder->value(), factsFor(true));
            if (assessment.weight != FindingWeight::None) {
                told.push_back(comparable);
            }
            add(place, catalog.libraryValue, FindingSubject::NetworkProvider, texts::kNetworkGroup,
                NetworkArea::Dns, assessment);
        }
    }
}

}  // namespace

std::vector<NetworkFinding> findNetworkSettings(PlatformOps& platform,
                                                std::span<const std::wstring> userHives,
                                                UserFoldersOfThisRun& userFolders,
                                                bool managedMachine,
                                                StartupHijackRule isStartupHijack,
                                                FailureLog& failures) {
    NetworkScan scan(platform, userFolders, managedMachine, isStartupHijack, failures);
    for (const auto& hive : userHives) {
        scan.scanInternetSettings(hive, RegistryView::Default);
    }
    if (scan.machineWideProxy()) {
        for (const auto view : viewsFor(RegistryRoot::LocalMachine, kInternetSettingsKey,
                                        platform.HasTwoRegistryViews())) {
            scan.scanInternetSettings(L"HKLM", view);
        }
    }
    scan.scanWinHttp();
    scan.scanDns();
    scan.scanNameResolutionRules();
    scan.scanWinsockProviders();
    return std::move(scan.found);
}

std::vector<Finding> findingsOf(std::span<const NetworkFinding> found) {
    std::vector<Finding> findings;
    for (const auto& one : found) {
        findings.push_back(one.finding);
    }
    return findings;
}

}  // namespace tovask
