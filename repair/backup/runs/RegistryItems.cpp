#include "repair/backup/runs/RegistryItems.h"

#include <algorithm>

#include "repair/backup/RegistryKeyNames.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

bool isAtOrBelow(std::wstring_view key, std::wstring_view ancestor) {
    return equalsIgnoringCase(key, ancestor) ||
           (key.size() > ancestor.size() && key[ancestor.size()] == L'\\' &&
            equalsIgnoringCase(key.substr(0, ancestor.size()), ancestor));
}

const RegistryFileSection* sectionOfKey(std::span<const RegistryFileSection> sections,
                                        std::wstring_view key) {
    const auto found = std::ranges::find_if(sections, [&](const RegistryFileSection& section) {
        return equalsIgnoringCase(section.key, key);
    });
    return found == sections.end() ? nullptr : &*found;
}

}  // namespace

std::vector<RegistryItem> registryItems(std::span<const RegistryFileSection> sections) {
    std::vector<RegistryItem> items;
    for (std::size_t at = 0; at < sections.size();) {
        const auto& section = sections[at];
        if (section.removesKey) {
            // The subtree the run removed comes back right after its removal.
            auto end = at + 1;
            while (end < sections.size() && !sections[end].removesKey &&
                   isAtOrBelow(sections[end].key, section.key)) {
                ++end;
            }
            items.push_back({at, end, std::nullopt});
            at = end;
            continue;
        }
        if (section.entries.empty()) {
            items.push_back({at, at + 1, std::nullopt});
        }
        for (const auto& entry : section.entries) {
            items.push_back({at, at + 1, entry.name});
        }
        ++at;
    }
    return items;
}

std::vector<std::optional<RegistryItemState>> readItemStates(
    RegistryOps& platform, std::span<const RegistryFileSection> loadedSections,
    std::span<const RegistryItem> items, bool hasTwoViews, FailureLog& failures) {
    std::vector<std::optional<RegistryItemState>> states;
    for (const auto& item : items) {
        const auto& section = loadedSections[item.section];
        const auto key = viewedKeyOf(section.key, hasTwoViews);
        if (!key) {
            states.emplace_back();
            continue;
        }
        if (!item.value) {
            const auto there = platform.RegKeyExists(key->keyPath, key->view);
            if (!there.ok()) {
                failures.add(section.key, there.error());
                states.emplace_back();
                continue;
            }
            states.push_back(RegistryItemState{there.value(), std::nullopt});
            continue;
        }
        const auto value = platform.RegReadValue(key->keyPath + *item.value, key->view);
        if (!value.ok() && !isNotFound(value.error())) {
            failures.add(section.key + L"\\" + *item.value, value.error());
            states.emplace_back();
            continue;
        }
        states.push_back(RegistryItemState{
            value.ok(), value.ok() ? std::optional(value.value()) : std::nullopt});
    }
    return states;
}

std::vector<RegistryFileSection> itemStatesAsSections(
    std::span<const RegistryFileSection> sections, std::span<const RegistryItem> items,
    std::span<const std::optional<RegistryItemState>> states) {
    // Values first, so that a key's values are found in its first section.
    std::vector<RegistryFileSection> values;
    std::vector<RegistryFileSection> keys;
    for (std::size_t at = 0; at < items.size() && at < states.size(); ++at) {
        const auto& key = sections[items[at].section].key;
        if (!states[at]) {
            continue;
        }
        if (items[at].value) {
            addToSection(values, key, {*items[at].value, states[at]->value});
        } else {
            keys.push_back({key, !states[at]->present, {}});
        }
    }
    values.insert(values.end(), keys.begin(), keys.end());
    return values;
}

std::optional<RegistryItemState> itemStateIn(std::span<const RegistryFileSection> statesFile,
                                             std::span<const RegistryFileSection> sections,
                                             const RegistryItem& item) {
    const auto& key = sections[item.section].key;
    if (!item.value) {
        const auto found = std::ranges::find_if(statesFile, [&](const RegistryFileSection& held) {
            return held.entries.empty() && equalsIgnoringCase(held.key, key);
        });
        if (found == statesFile.end()) {
            return std::nullopt;
        }
        return RegistryItemState{!found->removesKey, std::nullopt};
    }
    const auto* held = sectionOfKey(statesFile, key);
    if (held == nullptr || held->removesKey) {
        return std::nullopt;
    }
    const auto entry = std::ranges::find_if(held->entries, [&](const RegistryFileEntry& entry) {
        return equalsIgnoringCase(entry.name, *item.value);
    });
    if (entry == held->entries.end()) {
        return std::nullopt;
    }
    return RegistryItemState{entry->value.has_value(), entry->value};
}

std::vector<RegistryFileSection> sectionsOfItems(std::span<const RegistryFileSection> sections,
                                                 std::span<const RegistryItem> chosen) {
    std::vector<RegistryFileSection> kept;
    // The section the last value kept came from, while the next may join it.
    constexpr auto kNoSection = static_cast<std::size_t>(-1);
    std::size_t lastSection = kNoSection;
    for (const auto& item : chosen) {
        if (!item.value) {
            kept.insert(kept.end(), sections.begin() + static_cast<std::ptrdiff_t>(item.section),
                        sections.begin() + static_cast<std::ptrdiff_t>(item.sectionsEnd));
            lastSection = kNoSection;
            continue;
        }
        const auto& section = sections[item.section];
        if (lastSection != item.section) {
            kept.push_back({section.key, false, {}});
            lastSection = item.section;
        }
        const auto entry =
            std::ranges::find(section.entries, *item.value, &RegistryFileEntry::name);
        kept.back().entries.push_back(*entry);
    }
    return kept;
}

}  // namespace tovask
