#pragma once

#include <string>
#include <string_view>

#include "text/RegistryPath.h"
#include "text/TextCompare.h"

namespace tovask {

// Where a value lives: the root, the key below it, the view.
struct KeyPlace {
    RegistryRoot root;
    std::wstring key;
    RegistryView view;
};

inline std::wstring platformKeyPath(const KeyPlace& place) {
    const std::wstring_view root = place.root == RegistryRoot::LocalMachine ? L"HKLM"
                                   : place.root == RegistryRoot::Users      ? L"HKU"
                                                                            : L"HKCU";
    return std::wstring(root) + L"\\" + place.key + L"\\";
}

// The key below a hive as a run names its hives: "HKLM", "HKCU" or
// "HKU\<name>".
inline KeyPlace hivePlace(std::wstring_view hive, std::wstring_view key) {
    const auto slash = hive.find(L'\\');
    if (slash == std::wstring_view::npos) {
        return {equalsIgnoringCase(hive, L"HKLM") ? RegistryRoot::LocalMachine
                                                  : RegistryRoot::CurrentUser,
                std::wstring(key), RegistryView::Default};
    }
    return {RegistryRoot::Users, std::wstring(hive.substr(slash + 1)) + L"\\" + std::wstring(key),
            RegistryView::Default};
}

}  // namespace tovask
