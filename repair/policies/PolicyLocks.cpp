#include "repair/policies/PolicyLocks.h"

#include <algorithm>

#include "repair/backup/RegistryKeyNames.h"
#include "repair/policykeys/PolicyKeyContent.h"
#include "repair/policykeys/PolicyKeyRepair.h"
#include "repair/users/UserHives.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

std::wstring pathBelow(const LockedPolicyKey& key, std::wstring_view relative) {
    return key.key + (relative.empty() ? L"" : L"\\" + std::wstring(relative));
}

std::wstring platformPath(const LockedPolicyKey& key, std::wstring_view relative) {
    const std::wstring_view root = key.root == RegistryRoot::LocalMachine ? L"HKLM"
                                   : key.root == RegistryRoot::Users      ? L"HKU"
                                                                          : L"HKCU";
    return std::wstring(root) + L"\\" + pathBelow(key, relative) + L"\\";
}

std::wstring fileKeyOf(const LockedPolicyKey& key, std::wstring_view relative) {
    return fileKeyName(key.root, pathBelow(key, relative), key.view);
}

std::optional<RegistryValue> valueBefore(const LockedPolicyKey& key, const ValuePlace& place) {
    auto content = key.content;
    const auto* holder = findKeyBelow(content, place.keyPath);
    const auto* value = holder == nullptr ? nullptr : findValue(*holder, place.name);
    return value == nullptr ? std::nullopt : std::optional(value->value);
}

void appendSubtree(std::vector<RegistryFileSection>& sections, const LockedPolicyKey& key,
                   const std::wstring& relative, const RegistryKeyContent& content) {
    RegistryFileSection section{fileKeyOf(key, relative), false, {}};
    for (const auto& value : content.values) {
        section.entries.push_back({value.name, value.value});
    }
    sections.push_back(std::move(section));
    for (const auto& subkey : content.subkeys) {
        appendSubtree(sections, key, joinPath(relative, subkey.name), subkey);
    }
}

std::vector<std::wstring_view> componentsOf(std::wstring_view path) {
    std::vector<std::wstring_view> names;
    for (std::size_t start = 0; start <= path.size();) {
        const auto end = std::min(path.find(L'\\', start), path.size());
        names.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

bool valueNamedByRule(const BrowserPolicyKey& browser, std::wstring_view name) {
    return std::ranges::any_of(browser.rules, [&](const LockRule& rule) {
        switch (rule.match) {
            case LockMatch::Value:
            case LockMatch::ForcedEntries:
            case LockMatch::ListEntries:
                return equalsIgnoringCase(name, rule.name);
            case LockMatch::ValuePrefix:
                return name.size() >= rule.name.size() &&
                       equalsIgnoringCase(name.substr(0, rule.name.size()), rule.name);
            case LockMatch::Subtree:
            case LockMatch::DohTemplates:
            case LockMatch::DohProvider:
                break;
        }
        return false;
    });
}

// `below` is the way from the policy key (or its Recommended subkey) to the section's key.
bool sectionWithinRules(const BrowserPolicyKey& browser, std::span<const std::wstring_view> below,
                        const RegistryFileSection& section) {
    if (below.empty()) {
        return std::ranges::all_of(section.entries, [&](const RegistryFileEntry& entry) {
            return valueNamedByRule(browser, entry.name);
        });
    }
    return std::ranges::any_of(browser.rules, [&](const LockRule& rule) {
        return equalsIgnoringCase(below.front(), rule.name) &&
               (rule.match == LockMatch::Subtree ||
                (rule.match == LockMatch::ListEntries && below.size() == 1));
    });
}

}  // namespace

std::vector<LockedPolicyKey> findLockedPolicyKeys(PlatformOps& platform,
                                                  std::span<const std::wstring> userHives,
                                                  FailureLog& failures) {
    std::vector<LockedPolicyKey> locked;
    const auto look = [&](const BrowserPolicyKey& browser, std::wstring_view hive,
                          RegistryView view) {
        const auto root = parseRegistryPath(std::wstring(hive) + L"\\x\\").value().root;
        const auto slash = hive.find(L'\\');
        auto key = slash == std::wstring_view::npos ? std::wstring(browser.keyPath)
                                                    : std::wstring(hive.substr(slash + 1)) + L"\\" +
                                                          std::wstring(browser.keyPath);
        LockedPolicyKey found{&browser, root, std::move(key), view, {}, {}};
        const auto path = platformPath(found, L"");
        auto tree = platform.RegReadTree(path, view);
        if (!tree.ok()) {
            if (!isNotFound(tree.error())) {
                failures.add(path, tree.error());
            }
            return;
        }
        found.content = std::move(tree.value());
        found.locks = findPolicyLocks(browser, found.content);
        if (!found.locks.empty()) {
            locked.push_back(std::move(found));
        }
    };
    for (const auto& browser : browserPolicyKeys()) {
        for (const auto view : viewsFor(RegistryRoot::LocalMachine, browser.keyPath,
                                        platform.HasTwoRegistryViews())) {
            look(browser, L"HKLM", view);
        }
        for (const auto& hive : userHives) {
            look(browser, hive, RegistryView::Default);
        }
    }
    return locked;
}

std::vector<Finding> findingsOf(std::span<const LockedPolicyKey> keys, bool repairable) {
    std::vector<Finding> findings;
    for (const auto& key : keys) {
        for (const auto& lock : key.locks) {
            FindingEvidence evidence;
            evidence.policyValue = std::wstring(key.browser->keyPath) + L"\\" + placeOf(lock);
            evidence.policyData = lock.holds;
            evidence.sets = settingOf(lock);
            evidence.policyRoot = fileKeyOf(key, L"");
            evidence.switchesNeighbours = switchesItsNeighbours(lock);
            auto finding = withSubject(
                subjectOf(lock),
                {FindingKind::BrowserPolicy, std::wstring(key.browser->group),
                 fileKeyOf(key, L"") + L"\\" + placeOf(lock), lock.holds,
                 repairable && !isLeftAsIs(lock),
                 key.root == RegistryRoot::LocalMachine ? PolicyHives::Machine : PolicyHives::Users,
                 std::move(evidence)});
            finding.title = lock.title;
            findings.push_back(std::move(finding));
        }
    }
    return findings;
}

std::vector<RegistryFileSection> backupSectionsFor(const LockedPolicyKey& key,
                                                   FailureLog& failures) {
    const auto edit = editBetween(key.content, withoutLocks(key.content, key.locks));
    std::vector<RegistryFileSection> sections;
    for (const auto& written : edit.valuesToWrite) {
        addToSection(sections, fileKeyOf(key, written.place.keyPath),
                     {written.place.name, valueBefore(key, written.place)});
    }
    for (const auto& deleted : edit.valuesToDelete) {
        addToSection(sections, fileKeyOf(key, deleted.keyPath),
                     {deleted.name, valueBefore(key, deleted)});
    }
    for (const auto& removed : edit.keysToRemove) {
        auto content = key.content;
        if (const auto* subtree = findKeyBelow(content, removed)) {
            appendSubtree(sections, key, removed, *subtree);
        }
    }
    if (const auto name = firstUnwritableName(sections)) {
        failures.add(*name, std::make_error_code(std::errc::invalid_argument));
        return {};
    }
    return sections;
}

bool removeLocks(PlatformOps& platform, const LockedPolicyKey& key, FailureLog& failures) {
    const auto edit = editBetween(key.content, withoutLocks(key.content, key.locks));
    bool removed = true;
    const auto log = [&](std::wstring_view target, std::error_code error) {
        if (error && !isNotFound(error)) {
            failures.add(target, error);
            removed = false;
        }
    };
    for (const auto& written : edit.valuesToWrite) {
        const auto path = platformPath(key, written.place.keyPath);
        log(path + written.place.name,
            platform.RegWriteRaw(path, written.place.name, written.value, key.view));
    }
    for (const auto& deleted : edit.valuesToDelete) {
        const auto path = platformPath(key, deleted.keyPath);
        log(path + deleted.name, platform.RegDeleteValueIn(path, deleted.name, key.view));
    }
    for (const auto& removed : edit.keysToRemove) {
        const auto path = platformPath(key, removed);
        log(path, platform.RegDeleteIn(path, key.view));
    }
    return removed;
}

bool withinPolicyReach(const RegistryFileSection& section, bool hasTwoViews) {
    const auto sectionKey = valueSectionKey(section, hasTwoViews);
    if (!sectionKey) {
        return false;
    }
    auto names = componentsOf(sectionKey->key);
    if (sectionKey->root == RegistryRoot::Users) {
        if (names.size() < 2 || !isUserAccountSid(names.front())) {
            return false;
        }
        names.erase(names.begin());
    }
    return std::ranges::any_of(browserPolicyKeys(), [&](const BrowserPolicyKey& browser) {
        const auto policyKey = componentsOf(browser.keyPath);
        if (names.size() < policyKey.size() ||
            !std::ranges::equal(policyKey, std::span(names).first(policyKey.size()),
                                [](auto a, auto b) { return equalsIgnoringCase(a, b); })) {
            return false;
        }
        auto below = std::span(names).subspan(policyKey.size());
        if (browser.hasRecommended && !below.empty() &&
            equalsIgnoringCase(below.front(), L"Recommended")) {
            below = below.subspan(1);
        }
        return sectionWithinRules(browser, below, section);
    });
}

}  // namespace tovask
