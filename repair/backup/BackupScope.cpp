#include "repair/backup/BackupScope.h"

#include <algorithm>

#include "repair/backup/AlwaysPresentKeys.h"
#include "repair/backup/RegistryKeyNames.h"
#include "repair/plan/RegistryPlan.h"
#include "repair/users/UserHives.h"
#include "text/RegistryPath.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

// A key reduced to what the plan's rows name: HKCU or HKLM and the key below.
struct PlanKey {
    RegistryRoot root;
    std::wstring key;
    std::wstring hive;  // the name under HKU for a user's key; empty otherwise
};

std::optional<PlanKey> planKeyOfPath(std::wstring_view keyPath) {
    const auto parsed = parseRegistryPath(keyPath);
    if (!parsed.ok()) {
        return std::nullopt;
    }
    PlanKey key{parsed.value().root, std::wstring(parsed.value().key), {}};
    if (key.root == RegistryRoot::Users) {
        const auto hiveEnd = key.key.find(L'\\');
        if (hiveEnd == std::wstring::npos) {
            return std::nullopt;
        }
        key = {RegistryRoot::CurrentUser, key.key.substr(hiveEnd + 1), key.key.substr(0, hiveEnd)};
    }
    return key;
}

std::optional<PlanKey> planKeyOf(const RegistryFileSection& section, bool hasTwoViews) {
    const auto viewed = viewedKeyOf(section.key, hasTwoViews);
    if (!viewed) {
        return std::nullopt;
    }
    auto key = planKeyOfPath(viewed->keyPath);
    if (key && !key->hive.empty() && !isUserAccountSid(key->hive)) {
        return std::nullopt;
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

bool writes(const RegistryStep& step) {
    return step.operation == RegistryOperation::WriteValue ||
           step.operation == RegistryOperation::WriteKeyDefault;
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

KeyRemoval removalOfPlanned(const PlanKey& key) {
    const auto rowAt = [&](auto&& matches) {
        return std::ranges::any_of(kRegistryRepairPlan, [&](const RegistryStep& step) {
            return rowPath(step).root == key.root && matches(step, rowPath(step).key);
        });
    };
    if (rowAt([&](const RegistryStep& step, std::wstring_view rowKey) {
            return step.operation == RegistryOperation::DeleteKey &&
                   equalsIgnoringCase(rowKey, key.key);
        })) {
        return KeyRemoval::Subtree;
    }
    if (!isAlwaysPresentKey(key.root, key.key) &&
        rowAt([&](const RegistryStep& step, std::wstring_view rowKey) {
            return writes(step) && isAtOrBelow(rowKey, key.key);
        })) {
        return KeyRemoval::CreatedKey;
    }
    return KeyRemoval::Outside;
}

bool sectionWithinPlan(const RegistryFileSection& section, bool hasTwoViews) {
    const auto key = planKeyOf(section, hasTwoViews);
    if (!key) {
        return false;
    }
    if (section.removesKey) {
        return removalOfPlanned(*key) != KeyRemoval::Outside;
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
                                           bool hasTwoViews, RegistryReach kindsReach) {
    for (const auto& section : sections) {
        if (!sectionWithinPlan(section, hasTwoViews) && !kindsReach(section, hasTwoViews)) {
            return section.key;
        }
    }
    return std::nullopt;
}

KeyRemoval removalOf(std::wstring_view keyPath) {
    const auto key = planKeyOfPath(keyPath);
    return key ? removalOfPlanned(*key) : KeyRemoval::Outside;
}

std::vector<PlannedValueBelow> plannedValuesBelow(std::wstring_view keyPath) {
    std::vector<PlannedValueBelow> values;
    const auto key = planKeyOfPath(keyPath);
    if (!key) {
        return values;
    }
    for (const auto& step : kRegistryRepairPlan) {
        const auto row = rowPath(step);
        if (writes(step) && row.root == key->root && isAtOrBelow(row.key, key->key)) {
            const auto below = std::wstring_view(row.key).substr(key->key.size());
            values.push_back(
                {std::wstring(below.substr(below.empty() ? 0 : 1)), std::wstring(row.valueName)});
        }
    }
    return values;
}

}  // namespace tovask
