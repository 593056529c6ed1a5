#include "repair/backup/RegistryRestore.h"

#include <algorithm>
#include <map>

#include "repair/backup/BackupScope.h"
#include "repair/backup/RegistryKeyNames.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

std::error_code ignoringNotFound(std::error_code error) {
    return isNotFound(error) ? std::error_code{} : error;
}

std::size_t depthOf(std::wstring_view subkey) {
    return subkey.empty() ? 0 : 1 + static_cast<std::size_t>(std::ranges::count(subkey, L'\\'));
}

// A key the run created may have been written to since by someone else: only
// the values the plan writes go, then each key on the way that is left empty,
// deepest first. What still holds anything stays, and that is no failure.
void removeCreatedKey(RegistryOps& platform, const RegistryFileSection& section,
                      const ViewedKey& key, FailureLog& failures) {
    const auto pathOf = [&](std::wstring_view subkey) {
        return subkey.empty() ? key.keyPath : key.keyPath + std::wstring(subkey) + L"\\";
    };
    const auto nameOf = [&](std::wstring_view subkey) {
        return subkey.empty() ? section.key : section.key + L"\\" + std::wstring(subkey);
    };
    std::map<std::wstring, std::wstring> keysOnTheWay{{L"", L""}};  // keyed by folded name
    for (const auto& value : plannedValuesBelow(key.keyPath)) {
        if (const auto error = ignoringNotFound(
                platform.RegDeleteValueIn(pathOf(value.subkey), value.valueName, key.view))) {
            failures.add(nameOf(value.subkey) + L"\\" + value.valueName, error);
        }
        for (std::wstring_view way = value.subkey; !way.empty();) {
            keysOnTheWay.try_emplace(foldedCase(way), way);
            const auto parentEnd = way.rfind(L'\\');
            way = parentEnd == std::wstring_view::npos ? std::wstring_view{}
                                                       : way.substr(0, parentEnd);
        }
    }
    std::vector<std::wstring> deepestFirst;
    for (auto& [folded, subkey] : keysOnTheWay) {
        deepestFirst.push_back(std::move(subkey));
    }
    std::ranges::stable_sort(deepestFirst, std::ranges::greater{}, depthOf);
    for (const auto& subkey : deepestFirst) {
        const auto content = platform.RegReadTree(pathOf(subkey), key.view);
        auto error = content.ok() ? std::error_code{} : ignoringNotFound(content.error());
        if (content.ok() && content.value().values.empty() && content.value().subkeys.empty()) {
            error = ignoringNotFound(platform.RegDeleteIn(pathOf(subkey), key.view));
        }
        if (error) {
            failures.add(nameOf(subkey), error);
        }
    }
}

// A removal is put back when it failed nowhere; values one by one.
void restoreSection(RegistryOps& platform, std::size_t index, const RegistryFileSection& section,
                    const ViewedKey& key, FailureLog& failures,
                    std::vector<RestoredEntry>& restored) {
    if (section.removesKey) {
        const auto failedBefore = failures.entries().size();
        if (removalOf(key.keyPath) == KeyRemoval::CreatedKey) {
            removeCreatedKey(platform, section, key, failures);
        } else if (const auto error =
                       ignoringNotFound(platform.RegDeleteIn(key.keyPath, key.view))) {
            failures.add(section.key, error);
        }
        if (failures.entries().size() == failedBefore) {
            restored.push_back({index, std::nullopt});
        }
        return;
    }
    if (const auto error = platform.RegCreateKeyIn(key.keyPath, key.view)) {
        failures.add(section.key, error);
        return;
    }
    if (section.entries.empty()) {
        restored.push_back({index, std::nullopt});
    }
    for (const auto& entry : section.entries) {
        const auto error =
            entry.value
                ? platform.RegWriteRaw(key.keyPath, entry.name, *entry.value, key.view)
                : ignoringNotFound(platform.RegDeleteValueIn(key.keyPath, entry.name, key.view));
        if (error) {
            failures.add(section.key + L"\\" + entry.name, error);
        } else {
            restored.push_back({index, entry.name});
        }
    }
}

}  // namespace

std::vector<RestoredEntry> restoreRegistry(RegistryOps& platform,
                                           std::span<const RegistryFileSection> sections,
                                           bool hasTwoViews, FailureLog& failures) {
    std::vector<RestoredEntry> restored;
    for (std::size_t index = 0; index < sections.size(); ++index) {
        // The backup was checked before the restore began, so every key maps.
        if (const auto key = viewedKeyOf(sections[index].key, hasTwoViews)) {
            restoreSection(platform, index, sections[index], *key, failures, restored);
        }
    }
    return restored;
}

}  // namespace tovask
