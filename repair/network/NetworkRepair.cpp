#include "repair/network/NetworkRepair.h"

#include <algorithm>
#include <array>

#include "repair/backup/RegistryKeyNames.h"
#include "repair/backup/RemovedKeyFindings.h"
#include "repair/network/NameResolutionRules.h"
#include "repair/network/NetworkKeys.h"
#include "repair/users/UserHives.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

bool sameValue(const NetworkValueEdit& a, const NetworkValueEdit& b) {
    return a.root == b.root && a.view == b.view && equalsIgnoringCase(a.key, b.key) &&
           equalsIgnoringCase(a.valueName, b.valueName);
}

// Below the root, for HKU without the hive's name; none for a hive that is
// not a user's.
std::optional<std::wstring_view> keyBelowHive(RegistryRoot root, std::wstring_view key) {
    if (root != RegistryRoot::Users) {
        return key;
    }
    const auto slash = key.find(L'\\');
    const auto hive = key.substr(0, slash);
    if (slash == std::wstring_view::npos ||
        !(isUserAccountSid(hive) || equalsIgnoringCase(hive, L".DEFAULT") || hive == L"S-1-5-18")) {
        return std::nullopt;
    }
    return key.substr(slash + 1);
}

bool namesOnly(const RegistryFileSection& section, std::span<const std::wstring_view> names) {
    return std::ranges::all_of(section.entries, [&](const RegistryFileEntry& entry) {
        return std::ranges::any_of(
            names, [&](std::wstring_view name) { return equalsIgnoringCase(entry.name, name); });
    });
}

bool isAdapterKey(std::wstring_view key) {
    return std::ranges::any_of(kTcpipParameters, [&](std::wstring_view parameters) {
        const auto prefix = std::wstring(parameters) + L"\\Interfaces\\";
        return key.size() > prefix.size() &&
               equalsIgnoringCase(key.substr(0, prefix.size()), prefix) &&
               key.find(L'\\', prefix.size()) == std::wstring_view::npos;
    });
}

// A rule's key of the name resolution table, or a key below one.
bool isNameRuleKey(std::wstring_view key) {
    return std::ranges::any_of(kNameRuleStores, [&](std::wstring_view store) {
        const auto prefix = std::wstring(store) + L"\\";
        return key.size() > prefix.size() &&
               equalsIgnoringCase(key.substr(0, prefix.size()), prefix);
    });
}

}  // namespace

std::vector<RegistryFileSection> backupSectionsFor(std::span<const NetworkFinding> found) {
    std::vector<const NetworkValueEdit*> edits;
    for (const auto& one : found) {
        for (const auto& edit : one.edits) {
            if (std::ranges::none_of(edits,
                                     [&](const auto* seen) { return sameValue(*seen, edit); })) {
                edits.push_back(&edit);
            }
        }
    }
    std::vector<RegistryFileSection> sections;
    for (const auto* edit : edits) {
        addToSection(sections, fileKeyName(edit->root, edit->key, edit->view),
                     {edit->valueName, edit->before});
    }
    for (const auto& one : found) {
        if (const auto& removal = one.removal) {
            addKeyTree(sections,
                       fileKeyName(removal->place.root, removal->place.key, removal->place.view),
                       removal->content);
        }
    }
    return sections;
}

NetworkRepair repairNetworkFinding(PlatformOps& platform, const NetworkFinding& found,
                                   FailureLog& failures) {
    NetworkRepair outcome;
    if (found.removal) {
        const bool removed = removeRegistryKey(platform, found.removal->place, failures);
        return {removed, removed};
    }
    for (const auto& edit : found.edits) {
        const auto keyPath = platformKeyPath({edit.root, edit.key, edit.view});
        const auto error =
            edit.after ? platform.RegWriteRaw(keyPath, edit.valueName, *edit.after, edit.view)
                       : platform.RegDeleteValueIn(keyPath, edit.valueName, edit.view);
        if (error && !isNotFound(error)) {
            failures.add(keyPath + edit.valueName, error);
            outcome.repaired = false;
        } else {
            outcome.changed = true;
        }
    }
    return outcome;
}

bool withinNetworkReach(const RegistryFileSection& section, bool hasTwoViews) {
    const auto sectionKey = valueSectionKey(section, hasTwoViews);
    if (!sectionKey) {
        return false;
    }
    const auto root = sectionKey->root;
    if (root == RegistryRoot::LocalMachine && isNameRuleKey(sectionKey->key)) {
        return true;
    }
    const auto key = keyBelowHive(root, sectionKey->key);
    if (!key) {
        return false;
    }
    constexpr std::array<std::wstring_view, 3> kStringValues = {kProxyEnable, kProxyServer,
                                                                kAutoConfigUrl};
    if (equalsIgnoringCase(*key, kInternetSettingsKey)) {
        return namesOnly(section, kStringValues);
    }
    if (equalsIgnoringCase(*key, kConnectionsKey)) {
        constexpr std::array<std::wstring_view, 3> kBlobs = {kConnectionBlobs[0],
                                                             kConnectionBlobs[1], kWinHttpSettings};
        return namesOnly(section, root == RegistryRoot::LocalMachine
                                      ? std::span(kBlobs)
                                      : std::span(kBlobs).first(kConnectionBlobs.size()));
    }
    constexpr std::array<std::wstring_view, 1> kStatic = {kNameServer};
    return root == RegistryRoot::LocalMachine &&
           (std::ranges::any_of(kTcpipParameters,
                                [&](std::wstring_view parameters) {
                                    return equalsIgnoringCase(*key, parameters);
                                }) ||
            isAdapterKey(*key)) &&
           namesOnly(section, kStatic);
}

}  // namespace tovask
