#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/RegistryOps.h"
#include "repair/backup/RegistryFile.h"
#include "repair/report/FailureLog.h"

namespace tovask {

// One thing a registry backup puts back, as the undo of an earlier run judges
// it: a key (removed whole, with the sections after it that put its subtree
// back, or created) or one value.
struct RegistryItem {
    std::size_t section;
    std::size_t sectionsEnd;            // past the last section the item puts back
    std::optional<std::wstring> value;  // none for a key
};
std::vector<RegistryItem> registryItems(std::span<const RegistryFileSection> sections);

// How an item is: a key there or not; a value's data, or none when it is gone.
struct RegistryItemState {
    bool present = false;
    std::optional<RegistryValue> value;

    bool operator==(const RegistryItemState&) const = default;
};

// Each item's state now, read through the sections' keys as the registry
// names them at this moment (users' hives as loaded); none for an item that
// could not be read, which is logged.
std::vector<std::optional<RegistryItemState>> readItemStates(
    RegistryOps& platform, std::span<const RegistryFileSection> loadedSections,
    std::span<const RegistryItem> items, bool hasTwoViews, FailureLog& failures);

// The states as a registry file holds them: a key as [key] or [-key], a value
// as its entry. Items that could not be read are left out.
std::vector<RegistryFileSection> itemStatesAsSections(
    std::span<const RegistryFileSection> sections, std::span<const RegistryItem> items,
    std::span<const std::optional<RegistryItemState>> states);
// The item's state in such a file; none when the file does not hold it.
std::optional<RegistryItemState> itemStateIn(std::span<const RegistryFileSection> statesFile,
                                             std::span<const RegistryFileSection> sections,
                                             const RegistryItem& item);

// The sections that put back only the chosen items, in their order.
std::vector<RegistryFileSection> sectionsOfItems(std::span<const RegistryFileSection> sections,
                                                 std::span<const RegistryItem> chosen);

}  // namespace tovask
