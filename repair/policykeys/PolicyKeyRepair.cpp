#include "repair/policykeys/PolicyKeyRepair.h"

#include <algorithm>
#include <cwctype>
#include <optional>

#include "repair/policykeys/PolicyJson.h"
#include "repair/policykeys/PolicyKeyContent.h"
#include "text/DecimalText.h"
#include "text/RegistryEncoding.h"
#include "text/TextCompare.h"
#include "text/Utf8.h"

namespace tovask {
namespace {

// The JSON value without the entry (a member of an object, or each string of
// a list that holds it), or none when nothing is left. A value that is not a
// JSON object or list is left as it is.
std::optional<RegistryValue> withoutJsonEntry(const RegistryValue& value, std::wstring_view entry) {
    auto json = policyjson::parseChromiumPolicy(utf8FromWide(textOf(value).value_or(L"")));
    if (!json || !(json->IsObject() || json->IsArray())) {
        return value;
    }
    if (json->IsObject()) {
        policyjson::removeMember(*json, utf8FromWide(entry));
    } else {
        policyjson::removeStringElements(*json, utf8FromWide(entry));
    }
    if (json->IsObject() ? json->ObjectEmpty() : json->Empty()) {
        return std::nullopt;
    }
    const auto text = policyjson::compact(*json);
    if (!text) {
        return value;
    }
    auto rewritten = stringValue(wideFromUtf8(*text));
    rewritten.type = value.type;
    return rewritten;
}

void removeLock(RegistryKeyContent& root, const PolicyLock& lock) {
    auto* key = findKeyBelow(root, lock.keyPath);
    if (key == nullptr || isLeftAsIs(lock)) {
        return;
    }
    const auto value = std::ranges::find_if(key->values, [&](const NamedRegistryValue& named) {
        return equalsIgnoringCase(named.name, lock.valueName);
    });
    if (value == key->values.end()) {
        return;
    }
    const auto kept =
        lock.entry.empty() ? std::nullopt : withoutJsonEntry(value->value, lock.entry);
    if (kept) {
        value->value = *kept;
    } else {
        key->values.erase(value);
    }
}

bool isNumber(std::wstring_view name) {
    return !name.empty() && std::ranges::all_of(name, [](wchar_t c) { return std::iswdigit(c); });
}

bool isNumberedList(const RegistryKeyContent& key) {
    return !key.values.empty() &&
           std::ranges::all_of(key.values, [](const auto& value) { return isNumber(value.name); });
}

// Numbers compare by their digits once leading zeros are gone, whatever their length.
std::pair<std::size_t, std::wstring> numberOrder(std::wstring_view name) {
    const auto digits = name.substr(std::min(name.find_first_not_of(L'0'), name.size()));
    return {digits.size(), std::wstring(digits)};
}

void renumber(RegistryKeyContent& list) {
    std::ranges::stable_sort(list.values, {},
                             [](const auto& value) { return numberOrder(value.name); });
    for (std::size_t i = 0; i < list.values.size(); ++i) {
        list.values[i].name = decimalText(i + 1);
    }
}

bool isEmpty(const RegistryKeyContent& key) {
    return key.values.empty() && key.subkeys.empty();
}

// Renumbers the lists and drops the subkeys that the removal shortened or emptied.
void tidy(RegistryKeyContent& after, const RegistryKeyContent& before) {
    for (auto& subkey : after.subkeys) {
        if (const auto* old = findSubkey(before, subkey.name)) {
            tidy(subkey, *old);
        }
    }
    std::erase_if(after.subkeys, [&](const RegistryKeyContent& subkey) {
        const auto* old = findSubkey(before, subkey.name);
        return isEmpty(subkey) && old != nullptr && !isEmpty(*old);
    });
    if (after.values.size() != before.values.size() && isNumberedList(before)) {
        renumber(after);
    }
}

void collectEdit(const RegistryKeyContent& before, const RegistryKeyContent& after,
                 const std::wstring& path, PolicyKeyEdit& edit) {
    for (const auto& value : before.values) {
        if (findValue(after, value.name) == nullptr) {
            edit.valuesToDelete.push_back({path, value.name});
        }
    }
    for (const auto& value : after.values) {
        const auto* old = findValue(before, value.name);
        if (old == nullptr || old->value != value.value) {
            edit.valuesToWrite.push_back({{path, value.name}, value.value});
        }
    }
    for (const auto& subkey : before.subkeys) {
        const auto* kept = findSubkey(after, subkey.name);
        if (kept == nullptr) {
            edit.keysToRemove.push_back(joinPath(path, subkey.name));
        } else {
            collectEdit(subkey, *kept, joinPath(path, subkey.name), edit);
        }
    }
    for (const auto& subkey : after.subkeys) {
        if (findSubkey(before, subkey.name) == nullptr) {
            collectEdit(RegistryKeyContent{subkey.name, {}, {}}, subkey,
                        joinPath(path, subkey.name), edit);
        }
    }
}

}  // namespace

RegistryKeyContent withoutLocks(const RegistryKeyContent& key, std::span<const PolicyLock> locks) {
    auto result = key;
    for (const auto& lock : locks) {
        removeLock(result, lock);
    }
    tidy(result, key);
    return result;
}

PolicyKeyEdit editBetween(const RegistryKeyContent& before, const RegistryKeyContent& after) {
    PolicyKeyEdit edit;
    collectEdit(before, after, L"", edit);
    return edit;
}

}  // namespace tovask
