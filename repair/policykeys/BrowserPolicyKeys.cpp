#include "repair/policykeys/BrowserPolicyKeys.h"

#include <array>
#include <span>
#include <string>

#include "repair/addresses/SearchEngines.h"
#include "repair/policykeys/DohResolvers.h"
#include "repair/policykeys/PolicyJson.h"
#include "repair/policykeys/PolicyKeyContent.h"
#include "repair/policykeys/PolicyLockTexts.h"
#include "repair/report/FindingTexts.h"
#include "repair/texts/BrowserNames.h"
#include "text/DecimalText.h"
#include "text/RegistryEncoding.h"
#include "text/TextCompare.h"
#include "text/Utf8.h"

namespace tovask {
namespace {

using enum LockMatch;
using enum LockKind;

// What each policy's values do, in the words of a finding's title.
constexpr PolicyWords kHomePageWords[] = {{L"", texts::kHomePageTitle}};
constexpr PolicyWords kHomePageIsNewTabWords[] = {
    {L"", texts::kHomePageTitle, 1, texts::kTheNewTabPage}};
constexpr PolicyWords kNewTabPageWords[] = {{L"", texts::kNewTabPageTitle}};
constexpr PolicyWords kRestoreOnStartupWords[] = {
    {L"", texts::kStartupPagesTitle, 1, texts::kTheLastSession},
    {L"", texts::kStartupPagesTitle, 4, texts::kThePolicysPages},
    {L"", texts::kStartupPagesTitle, 5, texts::kTheNewTabPage}};
constexpr PolicyWords kStartupPagesWords[] = {{L"", texts::kStartupPageTitle}};
constexpr PolicyWords kSearchProviderWords[] = {
    {L"DefaultSearchProviderSearchURL",
     texts::kSearchEngineTitle,
     {},
     {},
     L"DefaultSearchProviderName"},
    {L"DefaultSearchProviderName", texts::kSearchEngineNameTitle},
    {L"DefaultSearchProviderEnabled", texts::kSearchTitle, 1, texts::kCannotBeChanged},
    {L"DefaultSearchProviderEnabled", texts::kAddressBarSearchTitle, 0, texts::kTurnedOff}};
constexpr PolicyWords kForcedExtensionWords[] = {{L"", texts::kForcedExtensionTitle}};
constexpr PolicyWords kProxyServerWords[] = {{L"", texts::kProxyServerPolicyTitle}};
constexpr PolicyWords kProxyScriptWords[] = {{L"", texts::kProxyScriptPolicyTitle}};
constexpr PolicyWords kDohResolverWords[] = {{L"", texts::kDohResolverTitle}};

constexpr std::array kChromiumRules = {
    LockRule{L"HomepageLocation", Value, StartAndSearch, kHomePageWords},
    LockRule{L"HomepageIsNewTabPage", Value, StartAndSearch, kHomePageIsNewTabWords},
    LockRule{L"NewTabPageLocation", Value, StartAndSearch, kNewTabPageWords},
    LockRule{L"RestoreOnStartup", Value, StartAndSearch, kRestoreOnStartupWords},
    LockRule{L"RestoreOnStartupURLs", ListEntries, StartAndSearch, kStartupPagesWords},
    LockRule{L"DefaultSearchProvider", ValuePrefix, StartAndSearch, kSearchProviderWords},
    LockRule{L"ExtensionInstallForcelist", ListEntries, ForcedExtension, kForcedExtensionWords},
    LockRule{L"ExtensionSettings", ForcedEntries, ForcedExtension, kForcedExtensionWords},
    LockRule{L"ProxyMode", Value, ForcedTraffic},
    LockRule{L"ProxyServer", Value, ForcedTraffic, kProxyServerWords},
    LockRule{L"ProxyPacUrl", Value, ForcedTraffic, kProxyScriptWords},
    LockRule{L"ProxySettings", Value, ForcedTraffic},
    LockRule{L"DnsOverHttpsTemplates", DohTemplates, ForcedTraffic, kDohResolverWords},
};

// Firefox's policies, each a subkey: the words name the value or the subkey below it.
constexpr PolicyWords kFirefoxHomepageWords[] = {
    {L"URL", texts::kHomePageTitle},
    {L"Additional", texts::kStartupPageTitle},
    {L"Locked", texts::kHomePageWord, 1, texts::kCannotBeChanged}};
constexpr PolicyWords kFirefoxSearchEnginesWords[] = {
    {L"Default", texts::kSearchEngineTitle},
    {L"URLTemplate", texts::kAddedSearchEngineTitle, {}, {}, L"Name"},
    {L"Add", texts::kAddedSearchEngineTitle}};
constexpr PolicyWords kFirefoxExtensionsWords[] = {{L"Install", texts::kForcedExtensionTitle},
                                                   {L"Locked", texts::kLockedExtensionTitle}};
constexpr PolicyWords kFirefoxProxyWords[] = {
    {L"HTTPProxy", texts::kProxyServerPolicyTitle},
    {L"SSLProxy", texts::kProxyServerPolicyTitle},
    {L"SOCKSProxy", texts::kProxyServerPolicyTitle},
    {L"AutoConfigURL", texts::kProxyScriptPolicyTitle},
    {L"Locked", texts::kProxyTitle, 1, texts::kCannotBeChanged}};

// Firefox keeps each policy of its JSON file as a subkey or value of that name.
constexpr std::array kFirefoxRules = {
    LockRule{L"Homepage", Subtree, StartAndSearch, kFirefoxHomepageWords},
    LockRule{L"SearchEngines", Subtree, StartAndSearch, kFirefoxSearchEnginesWords},
    LockRule{L"NewTabPage", Value, StartAndSearch},
    LockRule{L"ExtensionSettings", ForcedEntries, ForcedExtension, kForcedExtensionWords},
    LockRule{L"ExtensionSettings", Subtree, ForcedExtension},
    LockRule{L"Extensions", Subtree, ForcedExtension, kFirefoxExtensionsWords},
    LockRule{L"Proxy", Subtree, ForcedTraffic, kFirefoxProxyWords},
    LockRule{L"DNSOverHTTPS", DohProvider, ForcedTraffic, kDohResolverWords},
};

// Each Chromium browser reads its policies, and their Recommended subkey,
// below a key of its build's own name; Opera documents no such key.
constexpr std::array kBrowserPolicyKeys = {
    BrowserPolicyKey{L"Software\\Policies\\Google\\Chrome", texts::kChrome, kChromiumRules, true},
    BrowserPolicyKey{L"Software\\Policies\\Microsoft\\Edge", texts::kEdge, kChromiumRules, true},
    BrowserPolicyKey{L"Software\\Policies\\BraveSoftware\\Brave", texts::kBrave, kChromiumRules,
                     true},
    BrowserPolicyKey{L"Software\\Policies\\Chromium", texts::kChromium, kChromiumRules, true},
    BrowserPolicyKey{L"Software\\Policies\\Vivaldi", texts::kVivaldi, kChromiumRules, true},
    BrowserPolicyKey{L"Software\\Policies\\YandexBrowser", texts::kYandex, kChromiumRules, true},
    BrowserPolicyKey{L"Software\\Policies\\Mozilla\\Firefox", texts::kFirefox, kFirefoxRules,
                     false},
};

std::optional<std::uint32_t> numberOf(const RegistryValue& value) {
    if (value.type != regtype::kDword || value.bytes.size() != 4) {
        return std::nullopt;
    }
    return value.bytes[0] | value.bytes[1] << 8 | value.bytes[2] << 16 |
           static_cast<std::uint32_t>(value.bytes[3]) << 24;
}

std::wstring describeValue(const RegistryValue& value) {
    if (const auto text = textOf(value)) {
        return *text;
    }
    if (const auto number = numberOf(value)) {
        return decimalText(*number);
    }
    return L"(tipo " + decimalText(value.type) + L", " + decimalText(value.bytes.size()) +
           L" bytes)";
}

class LockCollector {
  public:
    explicit LockCollector(std::vector<PolicyLock>& locks) : locks_(locks) {}

    void apply(const LockRule& rule, const RegistryKeyContent& key, const std::wstring& path) {
        rule_ = &rule;
        if (rule.match == DohProvider) {
            if (const auto* subkey = findSubkey(key, rule.name)) {
                addDohProvider(*subkey, joinPath(path, subkey->name));
            }
            return;
        }
        if (rule.match == ListEntries || rule.match == Subtree) {
            if (const auto* subkey = findSubkey(key, rule.name)) {
                addValues(*subkey, joinPath(path, subkey->name), rule.match == Subtree);
            }
        }
        key_ = &key;
        for (const auto& value : key.values) {
            if (rule.match == ValuePrefix ? startsWithIgnoringCase(value.name, rule.name)
                                          : equalsIgnoringCase(value.name, rule.name)) {
                addValue(value, path);
            }
        }
    }

  private:
    static bool startsWithIgnoringCase(std::wstring_view name, std::wstring_view prefix) {
        return name.size() >= prefix.size() &&
               equalsIgnoringCase(name.substr(0, prefix.size()), prefix);
    }

    void add(const std::wstring& path, const std::wstring& name, std::wstring entry,
             std::wstring holds, std::optional<std::uint32_t> number = std::nullopt,
             bool reportOnly = false) {
        PolicyLock lock{path, name, std::move(entry), std::move(holds), rule_->kind};
        lock.title = titleOfLock(lock, rule_->words, key_, number);
        lock.reportOnly = reportOnly;
        locks_.push_back(std::move(lock));
    }

    // The person may have chosen a resolver of their own: such a lock is reported only.
    void addResolver(const std::wstring& path, const NamedRegistryValue& value) {
        const auto templates = textOf(value.value).value_or(L"");
        if (!unknownDohResolvers(templates).empty()) {
            add(path, value.name, L"", templates, std::nullopt, true);
        }
    }

    void addDohTemplates(const NamedRegistryValue& value, const std::wstring& path) {
        const auto* mode = findValue(*key_, L"DnsOverHttpsMode");
        const auto modeText = mode == nullptr ? L"" : textOf(mode->value).value_or(L"");
        if (equalsIgnoringCase(modeText, L"secure") || equalsIgnoringCase(modeText, L"automatic")) {
            addResolver(path, value);
        }
    }

    void addDohProvider(const RegistryKeyContent& policy, const std::wstring& path) {
        key_ = &policy;
        const auto* enabled = findValue(policy, L"Enabled");
        const auto* provider = findValue(policy, L"ProviderURL");
        if (provider != nullptr && (enabled == nullptr || numberOf(enabled->value) != 0u)) {
            addResolver(path, *provider);
        }
    }

    void addValue(const NamedRegistryValue& value, const std::wstring& path) {
        switch (rule_->match) {
            case ForcedEntries:
                return addForcedEntries(value, path);
            case DohTemplates:
                return addDohTemplates(value, path);
            case DohProvider:
                return;
            case ListEntries:
                return addListEntries(value, path);
            // A policy subtree is a key; a value of its name is no policy of it.
            case Subtree:
                return;
            case Value:
            case ValuePrefix:
                return add(path, value.name, L"", describeValue(value.value),
                           numberOf(value.value));
        }
    }

    void addValues(const RegistryKeyContent& key, const std::wstring& path, bool deep) {
        key_ = &key;
        for (const auto& value : key.values) {
            add(path, value.name, L"", describeValue(value.value), numberOf(value.value));
        }
        if (!deep) {
            return;
        }
        for (const auto& subkey : key.subkeys) {
            addValues(subkey, joinPath(path, subkey.name), true);
        }
    }

    // Chromium reads a JSON-valued policy with trailing commas allowed, and
    // ignores one that is not valid JSON of the policy's type: such a value
    // forces nothing, and the user is told it is there.
    static std::unique_ptr<policyjson::JsonDocument> jsonOf(const NamedRegistryValue& value) {
        return policyjson::parseChromiumPolicy(utf8FromWide(textOf(value.value).value_or(L"")));
    }

    void addUnreadable(const NamedRegistryValue& value, const std::wstring& path) {
        PolicyLock lock{path,        value.name, L"", std::wstring(texts::kPolicyValueUnreadable),
                        rule_->kind, true};
        lock.title = titleOfLock(lock, rule_->words, key_, std::nullopt);
        locks_.push_back(std::move(lock));
    }

    void addForcedEntries(const NamedRegistryValue& value, const std::wstring& path) {
        const auto settings = jsonOf(value);
        if (!settings || !settings->IsObject()) {
            return addUnreadable(value, path);
        }
        for (const auto& [id, entry] : policyjson::membersOf(*settings)) {
            if (policyjson::forcesInstallation(entry)) {
                add(path, value.name, policyjson::wideText(id), policyjson::wideText(entry));
            }
        }
    }

    // Chromium also takes a list policy as one value holding a JSON list of strings.
    void addListEntries(const NamedRegistryValue& value, const std::wstring& path) {
        const auto list = jsonOf(value);
        if (!list || !list->IsArray()) {
            return addUnreadable(value, path);
        }
        for (const auto& element : policyjson::elementsOf(*list)) {
            if (const auto text = policyjson::utf8Of(element); !text.empty()) {
                add(path, value.name, wideFromUtf8(text), wideFromUtf8(text));
            }
        }
    }

    std::vector<PolicyLock>& locks_;
    const LockRule* rule_ = nullptr;
    // The key that holds the values being added.
    const RegistryKeyContent* key_ = nullptr;
};

// A recommended policy only sets what the browser starts with: the person
// may change it in the browser's settings. One that points at a search
// engine the browser offers of its own is the person's to keep; the search
// provider's values go together, as its address goes.
void leaveWhatTheBrowserOffers(const RegistryKeyContent& recommended, std::span<PolicyLock> locks) {
    const auto* searchAddress = findValue(recommended, L"DefaultSearchProviderSearchURL");
    const bool offeredEngine = searchAddress != nullptr &&
                               isKnownSearchAddress(textOf(searchAddress->value).value_or(L""));
    for (auto& lock : locks) {
        if (lock.kind != StartAndSearch || lock.unreadable) {
            continue;
        }
        const bool offered = subjectOf(lock) == FindingSubject::SearchEngine
                                 ? offeredEngine
                                 : isKnownSearchAddress(lock.holds);
        lock.reportOnly = lock.reportOnly || offered;
    }
}

}  // namespace

std::span<const BrowserPolicyKey> browserPolicyKeys() {
    return kBrowserPolicyKeys;
}

std::vector<PolicyLock> findPolicyLocks(const BrowserPolicyKey& browser,
                                        const RegistryKeyContent& key) {
    std::vector<PolicyLock> locks;
    LockCollector collector(locks);
    for (const auto& rule : browser.rules) {
        collector.apply(rule, key, L"");
    }
    const auto* recommended = browser.hasRecommended ? findSubkey(key, L"Recommended") : nullptr;
    if (recommended == nullptr) {
        return locks;
    }
    const auto enforced = locks.size();
    for (const auto& rule : browser.rules) {
        collector.apply(rule, *recommended, recommended->name);
    }
    leaveWhatTheBrowserOffers(*recommended, std::span(locks).subspan(enforced));
    return locks;
}

}  // namespace tovask
