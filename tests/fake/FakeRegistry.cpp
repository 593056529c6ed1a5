#include "tests/fake/FakeRegistry.h"

#include <algorithm>
#include <cstring>

#include "text/RegistryEncoding.h"
#include "text/RegistryPath.h"
#include "text/TextCompare.h"
#include "text/Utf16.h"

namespace tovask::fake {
namespace {

std::wstring folded(std::wstring_view text) {
    return foldedCase(text);
}

bool isBelow(std::wstring_view candidate, std::wstring_view ancestor) {
    return candidate.size() > ancestor.size() && candidate.starts_with(ancestor) &&
           candidate[ancestor.size()] == L'\\';
}

std::error_code notFound() {
    return std::make_error_code(std::errc::no_such_file_or_directory);
}

std::error_code reachedThroughLink() {
    return std::make_error_code(std::errc::too_many_symbolic_link_levels);
}

// Links may lead to links, and a loop of them must end.
constexpr int kMostLinksFollowed = 16;

std::wstring withKeySeparator(std::wstring_view keyPath) {
    std::wstring path(keyPath);
    if (!path.ends_with(L'\\')) {
        path += L'\\';
    }
    return path;
}

StoredValue decode(const NamedRegistryValue& stored) {
    const auto& raw = stored.value;
    if (raw.type == regtype::kDword && raw.bytes.size() == 4) {
        std::uint32_t number = 0;
        std::memcpy(&number, raw.bytes.data(), 4);
        return {stored.name, number};
    }
    const bool terminatedText = raw.type == regtype::kString && raw.bytes.size() % 2 == 0 &&
                                raw.bytes.size() >= 2 && raw.bytes.end()[-1] == 0 &&
                                raw.bytes.end()[-2] == 0;
    if (terminatedText) {
        const std::string_view bytes(reinterpret_cast<const char*>(raw.bytes.data()),
                                     raw.bytes.size() - 2);
        return {stored.name, fromUtf16LeBytes(bytes).value()};
    }
    return {stored.name, raw};
}

// The root's part of a key's identity: the machine-wide keys carry their view,
// and a key both views share is stored once, as the 64-bit view's.
std::wstring rootTag(RegistryRoot root, std::wstring_view key, RegistryView view, bool twoViews) {
    switch (root) {
        case RegistryRoot::CurrentUser:
            return L"HKCU";
        case RegistryRoot::Users:
            return L"HKU";
        case RegistryRoot::LocalMachine:
            break;
    }
    if (!twoViews) {
        return L"HKLM";
    }
    return view == RegistryView::Bits64 || isSharedBetweenViews(root, key) ? L"HKLM64" : L"HKLM32";
}

}  // namespace

Result<std::wstring> FakeRegistry::keyIdOf(std::wstring_view keyPath, RegistryView view) const {
    const auto parsed = parseRegistryPath(keyPath);
    if (!parsed.ok()) {
        return parsed.error();
    }
    return rootTag(parsed.value().root, parsed.value().key, view, twoViews) + L"\\" +
           folded(parsed.value().key);
}

std::wstring FakeRegistry::followed(std::wstring id, bool followLast) const {
    for (int hop = 0; hop < kMostLinksFollowed; ++hop) {
        const auto link = std::ranges::find_if(links_, [&](const auto& entry) {
            return (followLast && entry.first == id) || isBelow(id, entry.first);
        });
        if (link == links_.end()) {
            break;
        }
        id = link->second + id.substr(link->first.size());
    }
    return id;
}

Result<std::wstring> FakeRegistry::changedKeyId(std::wstring_view keyPath,
                                                RegistryView view) const {
    const auto id = keyIdOf(withKeySeparator(keyPath), view);
    if (!id.ok()) {
        return id.error();
    }
    auto reached = followed(id.value(), false);
    if (links_.contains(reached)) {
        return reachedThroughLink();
    }
    return reached;
}

bool FakeRegistry::hasLinkAtOrBelow(std::wstring_view id) const {
    return std::ranges::any_of(
        links_, [&](const auto& entry) { return entry.first == id || isBelow(entry.first, id); });
}

void FakeRegistry::eraseTree(std::wstring_view id) {
    std::erase_if(keys_,
                  [&](const auto& entry) { return entry.first == id || isBelow(entry.first, id); });
    std::erase_if(links_,
                  [&](const auto& entry) { return entry.first == id || isBelow(entry.first, id); });
}

void FakeRegistry::createKeyById(std::wstring_view id, std::wstring_view shownPath) {
    // Every ancestor below the root exists too, as in the real registry.
    const std::wstring full(id);
    // A key reached through a link bears the names of its target's path.
    const auto keyOfId = full.substr(full.find(L'\\') + 1);
    const std::wstring shown = folded(shownPath) == keyOfId ? std::wstring(shownPath) : keyOfId;
    for (auto separator = full.find(L'\\', full.find(L'\\') + 1);;
         separator = full.find(L'\\', separator + 1)) {
        const auto ancestor = full.substr(0, separator);
        const auto nameStart = ancestor.rfind(L'\\') + 1;
        // The shown path has the same separators as the folded identity past the root.
        const auto shownOffset = shown.size() - (full.size() - nameStart);
        const auto nameLength = ancestor.size() - nameStart;
        keys_.try_emplace(ancestor, Key{shown.substr(shownOffset, nameLength), {}});
        if (separator == std::wstring::npos) {
            break;
        }
    }
}

std::error_code FakeRegistry::writeRaw(std::wstring_view keyPath, std::wstring_view valueName,
                                       const RegistryValue& value, RegistryView view) {
    const auto path = withKeySeparator(keyPath);
    const auto parsed = parseRegistryPath(path);
    if (!parsed.ok()) {
        return parsed.error();
    }
    const auto id = changedKeyId(path, view);
    if (!id.ok()) {
        return id.error();
    }
    createKeyById(id.value(), parsed.value().key);
    auto& values = keys_[id.value()].values;
    const std::wstring name(valueName);
    auto& stored = values[folded(name)];
    if (stored.name.empty()) {
        stored.name = name;
    }
    stored.value = value;
    return {};
}

std::error_code FakeRegistry::write(std::wstring_view path, RegistryData data, RegistryType type) {
    const auto parsed = parseRegistryPath(path);
    if (!parsed.ok()) {
        return parsed.error();
    }
    const auto value = encodeRegistryData(data, type);
    if (!value.ok()) {
        return value.error();
    }
    const auto keyPath = path.substr(0, path.rfind(L'\\') + 1);
    std::error_code firstFailure;
    for (const auto view : viewsFor(parsed.value().root, parsed.value().key, twoViews)) {
        const auto error = writeRaw(keyPath, parsed.value().valueName, value.value(), view);
        firstFailure = firstFailure ? firstFailure : error;
    }
    return firstFailure;
}

std::error_code FakeRegistry::removeIn(std::wstring_view path, RegistryView view) {
    const auto parsed = parseRegistryPath(path);
    if (!parsed.ok()) {
        return parsed.error();
    }
    if (!parsed.value().namesKey) {
        return removeValueIn(path.substr(0, path.rfind(L'\\') + 1), parsed.value().valueName, view);
    }
    return removeKeyAsRead(path, view, {});
}

std::error_code FakeRegistry::removeValueIn(std::wstring_view keyPath, std::wstring_view valueName,
                                            RegistryView view) {
    return removeValueAsRead(keyPath, valueName, view, {});
}

std::error_code FakeRegistry::removeKeyAsRead(std::wstring_view keyPath, RegistryView view,
                                              const BeforeKeyRemoval& beforeRemoval) {
    const auto id = changedKeyId(keyPath, view);
    if (!id.ok()) {
        return id.error();
    }
    if (!keys_.contains(id.value())) {
        return notFound();
    }
    if (hasLinkAtOrBelow(id.value())) {
        return reachedThroughLink();
    }
    if (beforeRemoval) {
        if (const auto error = beforeRemoval(readTreeById(id.value(), 0).value())) {
            return error;
        }
    }
    eraseTree(id.value());
    return {};
}

std::error_code FakeRegistry::removeValueAsRead(std::wstring_view keyPath,
                                                std::wstring_view valueName, RegistryView view,
                                                const BeforeValueRemoval& beforeRemoval) {
    const auto id = changedKeyId(keyPath, view);
    if (!id.ok()) {
        return id.error();
    }
    const auto key = keys_.find(id.value());
    if (key == keys_.end()) {
        return notFound();
    }
    const auto value = key->second.values.find(folded(valueName));
    if (value == key->second.values.end()) {
        return notFound();
    }
    if (beforeRemoval) {
        if (const auto error = beforeRemoval(value->second.value)) {
            return error;
        }
    }
    key->second.values.erase(value);
    return {};
}

void FakeRegistry::link(std::wstring_view keyPath, std::wstring_view targetKeyPath,
                        RegistryView view) {
    const auto id = keyIdOf(withKeySeparator(keyPath), view).value();
    eraseTree(id);
    const auto parsed = parseRegistryPath(withKeySeparator(keyPath)).value();
    createKeyById(id, parsed.key);
    links_[id] = keyIdOf(withKeySeparator(targetKeyPath), view).value();
}

std::error_code FakeRegistry::remove(std::wstring_view path) {
    const auto parsed = parseRegistryPath(path);
    if (!parsed.ok()) {
        return parsed.error();
    }
    bool removedSomewhere = false;
    std::error_code firstFailure;
    for (const auto view : viewsFor(parsed.value().root, parsed.value().key, twoViews)) {
        const auto error = removeIn(path, view);
        removedSomewhere = !error || removedSomewhere;
        firstFailure = firstFailure || isNotFound(error) ? firstFailure : error;
    }
    if (firstFailure || removedSomewhere) {
        return firstFailure;
    }
    return notFound();
}

Result<RegistryValue> FakeRegistry::readValue(std::wstring_view path, RegistryView view) const {
    const auto parsed = parseRegistryPath(path);
    if (!parsed.ok()) {
        return parsed.error();
    }
    const auto key = keys_.find(followed(keyIdOf(path, view).value(), true));
    if (key == keys_.end()) {
        return notFound();
    }
    const auto found = key->second.values.find(folded(parsed.value().valueName));
    if (found == key->second.values.end()) {
        return notFound();
    }
    return found->second.value;
}

bool FakeRegistry::keyExists(std::wstring_view keyPath, RegistryView view) const {
    const auto id = keyIdOf(withKeySeparator(keyPath), view);
    return id.ok() && keys_.contains(followed(id.value(), true));
}

Result<RegistryKeyContent> FakeRegistry::readTree(std::wstring_view keyPath,
                                                  RegistryView view) const {
    const auto id = keyIdOf(withKeySeparator(keyPath), view);
    if (!id.ok()) {
        return id.error();
    }
    return readTreeById(followed(id.value(), true), 0);
}

Result<RegistryKeyContent> FakeRegistry::readTreeById(const std::wstring& id, int level) const {
    const auto key = keys_.find(id);
    if (key == keys_.end() || level > kMostLinksFollowed * 8) {
        return notFound();
    }
    RegistryKeyContent content{key->second.name, {}, {}};
    for (const auto& [foldedName, stored] : key->second.values) {
        content.values.push_back(stored);
    }
    for (const auto& [candidate, subkey] : keys_) {
        if (isBelow(candidate, id) && candidate.find(L'\\', id.size() + 1) == std::wstring::npos) {
            auto below = readTreeById(followed(candidate, true), level + 1);
            if (!below.ok()) {
                return below.error();
            }
            auto& added = content.subkeys.emplace_back(std::move(below).value());
            added.name = subkey.name;
        }
    }
    return content;
}

std::error_code FakeRegistry::createKey(std::wstring_view keyPath, RegistryView view) {
    const auto path = withKeySeparator(keyPath);
    const auto parsed = parseRegistryPath(path);
    if (!parsed.ok()) {
        return parsed.error();
    }
    const auto id = changedKeyId(path, view);
    if (!id.ok()) {
        return id.error();
    }
    createKeyById(id.value(), parsed.value().key);
    return {};
}

void FakeRegistry::addKeysEveryWindowsHas() {
    for (const std::wstring_view root : {L"HKCU", L"HKLM"}) {
        addKeysEveryWindowsHas(root);
    }
}

void FakeRegistry::addKeysEveryWindowsHas(std::wstring_view root) {
    for (const std::wstring_view key :
         {L"\\Software\\Policies\\", L"\\Software\\Microsoft\\Internet Explorer\\",
          L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\",
          L"\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\"}) {
        const auto path = std::wstring(root) + std::wstring(key);
        for (const auto view : {RegistryView::Bits32, RegistryView::Bits64}) {
            createKey(path, view);
        }
    }
}

void FakeRegistry::createKey(std::wstring_view keyPath) {
    createKey(keyPath, RegistryView::Default);
}

std::optional<StoredValue> FakeRegistry::value(std::wstring_view path) const {
    const auto parsed = parseRegistryPath(path);
    if (!parsed.ok()) {
        return std::nullopt;
    }
    const auto key = keys_.find(keyIdOf(path, RegistryView::Default).value());
    if (key == keys_.end()) {
        return std::nullopt;
    }
    const auto found = key->second.values.find(folded(parsed.value().valueName));
    if (found == key->second.values.end()) {
        return std::nullopt;
    }
    return decode(found->second);
}

bool FakeRegistry::keyExists(std::wstring_view keyPath) const {
    return keyExists(keyPath, RegistryView::Default);
}

std::vector<std::wstring> FakeRegistry::valueNames(std::wstring_view keyPath) const {
    std::vector<std::wstring> names;
    const auto id = keyIdOf(withKeySeparator(keyPath), RegistryView::Default);
    if (!id.ok()) {
        return names;
    }
    if (const auto key = keys_.find(id.value()); key != keys_.end()) {
        for (const auto& [foldedName, stored] : key->second.values) {
            names.push_back(stored.name);
        }
    }
    return names;
}

std::vector<std::wstring> FakeRegistry::subkeyNames(std::wstring_view keyPath,
                                                    RegistryView view) const {
    std::vector<std::wstring> names;
    const auto id = keyIdOf(withKeySeparator(keyPath), view);
    if (!id.ok()) {
        return names;
    }
    for (const auto& [candidate, key] : keys_) {
        if (isBelow(candidate, id.value()) &&
            candidate.find(L'\\', id.value().size() + 1) == std::wstring::npos) {
            names.push_back(key.name);
        }
    }
    return names;
}

std::vector<std::wstring> FakeRegistry::subkeyNames(std::wstring_view keyPath) const {
    return subkeyNames(keyPath, RegistryView::Default);
}

std::vector<std::wstring> FakeRegistry::userHiveNames() const {
    std::vector<std::wstring> names;
    for (const auto& [id, key] : keys_) {
        if (id.starts_with(L"HKU\\") && id.find(L'\\', 4) == std::wstring::npos) {
            names.push_back(key.name);
        }
    }
    return names;
}

FakeRegistry::State FakeRegistry::detachHive(std::wstring_view name) {
    const auto id = L"HKU\\" + folded(name);
    State hive;
    for (auto key = keys_.begin(); key != keys_.end();) {
        if (key->first == id || isBelow(key->first, id)) {
            auto& stored = hive.emplace(key->first.substr(id.size()), key->second).first->second;
            if (key->first == id) {
                stored.name.clear();  // a hive file has no name of its own
            }
            key = keys_.erase(key);
        } else {
            ++key;
        }
    }
    return hive;
}

void FakeRegistry::attachHive(std::wstring_view name, const State& hive) {
    const auto id = L"HKU\\" + folded(name);
    for (const auto& [relative, key] : hive) {
        keys_[id + relative] = key;
    }
    if (!hive.empty()) {
        keys_[id].name = std::wstring(name);
    }
}

std::map<std::wstring, StoredValue> FakeRegistry::snapshot() const {
    std::map<std::wstring, StoredValue> all;
    for (const auto& [id, key] : keys_) {
        for (const auto& [name, stored] : key.values) {
            all[id + L"\\" + name] = decode(stored);
        }
    }
    return all;
}

}  // namespace tovask::fake
