#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "repair/backup/RegistryFile.h"
#include "text/RegistryPath.h"
#include "values/RegistryValue.h"

namespace tovask {

// A key as the platform reaches it: "HKLM\Software\Key\" and the view.
struct ViewedKey {
    std::wstring keyPath;  // root, key names and a trailing backslash
    RegistryView view;

    bool operator==(const ViewedKey&) const = default;
};

// The key's name in a registry-editor file, as the registry editor of a
// 64-bit Windows writes it: full root names, and the 32-bit view of the
// machine-wide software keys under "WOW6432Node".
std::wstring fileKeyName(RegistryRoot root, std::wstring_view key, RegistryView view);

// The way back; none for a root other than the three the program uses, or an
// empty key name.
std::optional<ViewedKey> viewedKeyOf(std::wstring_view fileKey, bool hasTwoViews);

// The root and the key below it (for HKU the hive's name first) of a section
// that puts values back; none for one that removes a key, or that names a
// root the program does not use.
struct SectionKey {
    RegistryRoot root;
    std::wstring key;
};
std::optional<SectionKey> valueSectionKey(const RegistryFileSection& section, bool hasTwoViews);

// The same with the key below the user's hive for HKU, and only for an
// account's hive ("S-1-5-21-..."); none for any other hive.
std::optional<SectionKey> accountSectionKey(const RegistryFileSection& section, bool hasTwoViews);

}  // namespace tovask
