#include "repair/policykeys/PolicyKeyContent.h"

#include <algorithm>

#include "text/TextCompare.h"

namespace tovask {
namespace {

// Const or not as the items are.
template <typename Items>
auto* findNamed(Items& items, std::wstring_view name) {
    const auto found = std::ranges::find_if(
        items, [&](const auto& item) { return equalsIgnoringCase(item.name, name); });
    return found == items.end() ? nullptr : &*found;
}

}  // namespace

const RegistryKeyContent* findSubkey(const RegistryKeyContent& key, std::wstring_view name) {
    return findNamed(key.subkeys, name);
}

RegistryKeyContent* findSubkey(RegistryKeyContent& key, std::wstring_view name) {
    return findNamed(key.subkeys, name);
}

RegistryKeyContent* findKeyBelow(RegistryKeyContent& key, std::wstring_view path) {
    if (path.empty()) {
        return &key;
    }
    const auto split = path.find(L'\\');
    auto* subkey = findSubkey(key, path.substr(0, split));
    if (subkey == nullptr || split == std::wstring_view::npos) {
        return subkey;
    }
    return findKeyBelow(*subkey, path.substr(split + 1));
}

const NamedRegistryValue* findValue(const RegistryKeyContent& key, std::wstring_view name) {
    return findNamed(key.values, name);
}

std::wstring joinPath(std::wstring_view path, std::wstring_view name) {
    std::wstring joined(path);
    if (!joined.empty()) {
        joined += L'\\';
    }
    return joined.append(name);
}

}  // namespace tovask
