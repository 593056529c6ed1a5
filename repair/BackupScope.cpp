#include "repair/BackupScope.h"

#include <algorithm>

#include "platform/RegistryPath.h"
#include "platform/TextCompare.h"
#include "repair/AlwaysPresentKeys.h"
#include "repair/RegistryKeyNames.h"
#include "repair/RegistryPlan.h"

namespace tovask {
namespace {

// A key reduced to what the plan's rows name: HKCU or HKLM and the key below.
struct PlanKey {
    RegistryRoot root;
    std::wstring key;
};

bool isUserSid(std::wstring_view name) {
    return name.starts_with(L"S-1-") && name.size() > 4 &&
           std::ranges::all_of(name.substr(4),
                               [](wchar_t c) { return (c >= L'0' && c <= L'9') || c == L'-'; });
}

std::optional<PlanKey> planKeyOf(const RegistryFileSection& section, bool hasTwoViews) {
    const auto viewed = viewedKeyOf(section.key, hasTwoViews);
    if (!viewed) {
        return std::nullopt;
    }
    const auto parsed = parseRegistryPath(viewed->keyPath);
    if (!parsed.ok()) {
        return std::nullopt;
    }
    PlanKey key{parsed.value().root, std::wstring(parsed.value().key)};
    if (key.root == RegistryRoot::Users) {
        const auto hiveEnd = key.key.find(L'\\');
        if (hiveEnd == std::wstring::npos || !isUserSid(key.key.substr(0, hiveEnd))) {
            return std::nullopt;
        }
        key = {RegistryRoot::CurrentUser, key.key.substr(hiveEnd + 1)};
    }
    return key;
}

bool isAtOrBelow(std::wstring_view key, std::wstring_view ancestor) {
    return equalsIgnoringCase(key.substr(0, ancestor.size()), ancestor) &&
           (key.size() == ancestor.size() || key[ancestor.size()] == L'\\');
}

RegistryPath rowPath(const RegistryStep& step) {
    return parseRegistryPath(step.path).value();
}

// Delete-key rows reach their whole subtree; the other rows their own key.
bool keyWithinRow(const PlanKey& key, const RegistryStep& step) {
    const auto row = rowPath(step);
    if (row.root != key.root) {
        return false;
    }
    return step.operation == RegistryOperation::DeleteKey ? isAtOrBelow(key.key, row.key)
                                                          : equalsIgnoringCase(key.key, row.key);
}

bool entryWithinRow(const PlanKey& key, const RegistryFileEntry& entry, const RegistryStep& step) {
    return keyWithinRow(key, step) && (step.operation == RegistryOperation::DeleteKey ||
                                       equalsIgnoringCase(entry.name, rowPath(step).valueName));
}

bool removesKeyOnTheWay(const PlanKey& key, const RegistryFileSection& section) {
    if (!section.removesKey || isAlwaysPresentKey(key.root, key.key)) {
        return false;
    }
    return std::ranges::any_of(kRegistryRepairPlan, [&](const RegistryStep& step) {
        const auto row = rowPath(step);
        return row.root == key.root && isAtOrBelow(row.key, key.key);
    });
}

bool sectionWithinPlan(const RegistryFileSection& section, bool hasTwoViews) {
    const auto key = planKeyOf(section, hasTwoViews);
    if (!key) {
        return false;
    }
    if (removesKeyOnTheWay(*key, section)) {
        return true;
    }
    const auto anyRow = [](auto&& reaches) {
        return std::ranges::any_of(kRegistryRepairPlan, reaches) || reaches(kHostsFolderStep);
    };
    if (!anyRow([&](const RegistryStep& step) { return keyWithinRow(*key, step); })) {
        return false;
    }
    return std::ranges::all_of(section.entries, [&](const RegistryFileEntry& entry) {
        return anyRow([&](const RegistryStep& step) { return entryWithinRow(*key, entry, step); });
    });
}

}  // namespace

std::optional<std::wstring> keyOutsidePlan(std::span<const RegistryFileSection> sections,
                                           bool hasTwoViews) {
    for (const auto& section : sections) {
        if (!sectionWithinPlan(section, hasTwoViews)) {
            return section.key;
        }
    }
    return std::nullopt;
}

}  // namespace tovask
