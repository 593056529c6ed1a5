#include "repair/policykeys/BrowserPolicyKeys.h"

#include <array>
#include <string>

#include "repair/policykeys/PolicyJson.h"
#include "repair/policykeys/PolicyKeyContent.h"
#include "repair/report/FindingTexts.h"
#include "text/DecimalText.h"
#include "text/RegistryEncoding.h"
#include "text/TextCompare.h"
#include "text/Utf8.h"

namespace tovask {
namespace {

using enum LockMatch;
using enum LockKind;

constexpr std::array kChromiumRules = {
    LockRule{L"HomepageLocation", Value, StartAndSearch},
    LockRule{L"HomepageIsNewTabPage", Value, StartAndSearch},
    LockRule{L"NewTabPageLocation", Value, StartAndSearch},
    LockRule{L"RestoreOnStartup", Value, StartAndSearch},
    LockRule{L"RestoreOnStartupURLs", ListEntries, StartAndSearch},
    LockRule{L"DefaultSearchProvider", ValuePrefix, StartAndSearch},
    LockRule{L"ExtensionInstallForcelist", ListEntries, ForcedExtension},
    LockRule{L"ExtensionSettings", ForcedEntries, ForcedExtension},
    LockRule{L"ProxyMode", Value, ForcedTraffic},
    LockRule{L"ProxyServer", Value, ForcedTraffic},
    LockRule{L"ProxyPacUrl", Value, ForcedTraffic},
    LockRule{L"ProxySettings", Value, ForcedTraffic},
};

// Firefox keeps each policy of its JSON file as a subkey or value of that name.
constexpr std::array kFirefoxRules = {
    LockRule{L"Homepage", Subtree, StartAndSearch},
    LockRule{L"SearchEngines", Subtree, StartAndSearch},
    LockRule{L"NewTabPage", Value, StartAndSearch},
    LockRule{L"ExtensionSettings", ForcedEntries, ForcedExtension},
    LockRule{L"ExtensionSettings", Subtree, ForcedExtension},
    LockRule{L"Extensions", Subtree, ForcedExtension},
    LockRule{L"Proxy", Subtree, ForcedTraffic},
};

constexpr std::array kBrowserPolicyKeys = {
    BrowserPolicyKey{L"Software\\Policies\\Google\\Chrome", L"Google Chrome", kChromiumRules, true},
    BrowserPolicyKey{L"Software\\Policies\\Microsoft\\Edge", L"Microsoft Edge", kChromiumRules,
                     true},
    BrowserPolicyKey{L"Software\\Policies\\BraveSoftware\\Brave", L"Brave", kChromiumRules, true},
    BrowserPolicyKey{L"Software\\Policies\\Chromium", L"Chromium", kChromiumRules, true},
    BrowserPolicyKey{L"Software\\Policies\\Mozilla\\Firefox", L"Mozilla Firefox", kFirefoxRules,
                     false},
};

std::wstring describeValue(const RegistryValue& value) {
    if (const auto text = textOf(value)) {
        return *text;
    }
    if (value.type == regtype::kDword && value.bytes.size() == 4) {
        return decimalText(value.bytes[0] | value.bytes[1] << 8 | value.bytes[2] << 16 |
                           static_cast<std::uint32_t>(value.bytes[3]) << 24);
    }
    return L"(tipo " + decimalText(value.type) + L", " + decimalText(value.bytes.size()) +
           L" bytes)";
}

class LockCollector {
  public:
    explicit LockCollector(std::vector<PolicyLock>& locks) : locks_(locks) {}

    void apply(const LockRule& rule, const RegistryKeyContent& key, const std::wstring& path) {
        rule_ = &rule;
        if (rule.match == ListEntries || rule.match == Subtree) {
            if (const auto* subkey = findSubkey(key, rule.name)) {
                addValues(*subkey, joinPath(path, subkey->name), rule.match == Subtree);
            }
        }
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
             std::wstring holds) {
        locks_.push_back({path, name, std::move(entry), std::move(holds), rule_->kind});
    }

    void addValue(const NamedRegistryValue& value, const std::wstring& path) {
        switch (rule_->match) {
            case ForcedEntries:
                return addForcedEntries(value, path);
            case ListEntries:
                return addListEntries(value, path);
            // A policy subtree is a key; a value of its name is no policy of it.
            case Subtree:
                return;
            case Value:
            case ValuePrefix:
                return add(path, value.name, L"", describeValue(value.value));
        }
    }

    void addValues(const RegistryKeyContent& key, const std::wstring& path, bool deep) {
        for (const auto& value : key.values) {
            add(path, value.name, L"", describeValue(value.value));
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
        locks_.push_back({path, value.name, L"", std::wstring(texts::kPolicyValueUnreadable),
                          rule_->kind, true});
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
};

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
    for (const auto& rule : browser.rules) {
        collector.apply(rule, *recommended, recommended->name);
    }
    return locks;
}

}  // namespace tovask
