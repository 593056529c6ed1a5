#include "repair/backup/AlwaysPresentKeys.h"

#include <algorithm>
#include <array>

#include "text/TextCompare.h"

namespace tovask {
namespace {

// Each key's parent is in the list too, so nothing below a key the run may
// create is ever taken for one that is always there.
constexpr std::array<std::wstring_view, 10> kAlwaysPresent = {
    L"Software",
    L"Software\\Microsoft",
    L"Software\\Policies",
    L"Software\\Microsoft\\Windows",
    L"Software\\Microsoft\\Windows NT",
    L"Software\\Microsoft\\Windows\\CurrentVersion",
    L"Software\\Microsoft\\Windows NT\\CurrentVersion",
    L"Software\\Microsoft\\Internet Explorer",
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings",
    L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon",
};

}  // namespace

bool isAlwaysPresentKey(RegistryRoot root, std::wstring_view key) {
    if (root == RegistryRoot::Users) {
        const auto hiveEnd = key.find(L'\\');
        if (hiveEnd == std::wstring_view::npos) {
            return true;
        }
        key.remove_prefix(hiveEnd + 1);
    }
    return std::ranges::any_of(kAlwaysPresent, [&](std::wstring_view present) {
        return equalsIgnoringCase(present, key);
    });
}

}  // namespace tovask
