#include "tests/fake/FakeRegistry.h"

#include <cwctype>

#include "platform/RegistryPath.h"

namespace tovask::fake {
namespace {

std::wstring folded(std::wstring_view text) {
    std::wstring result(text);
    for (auto& c : result) {
        c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    }
    return result;
}

std::wstring keyId(const RegistryPath& path) {
    const std::wstring_view root = path.root == RegistryRoot::CurrentUser ? L"HKCU" : L"HKLM";
    return folded(std::wstring(root) + L"\\" + std::wstring(path.key));
}

// Keys named as "HKCU\a\b", with or without the trailing backslash.
Result<std::wstring> keyIdOf(std::wstring_view keyPath) {
    std::wstring withSeparator(keyPath);
    if (!withSeparator.ends_with(L'\\')) {
        withSeparator += L'\\';
    }
    const auto parsed = parseRegistryPath(withSeparator);
    if (!parsed.ok()) {
        return parsed.error();
    }
    return keyId(parsed.value());
}

bool isBelow(std::wstring_view candidate, std::wstring_view ancestor) {
    return candidate.size() > ancestor.size() && candidate.starts_with(ancestor) &&
           candidate[ancestor.size()] == L'\\';
}

std::error_code notFound() {
    return std::make_error_code(std::errc::no_such_file_or_directory);
}

}  // namespace

std::error_code FakeRegistry::write(std::wstring_view path, RegistryData value, RegistryType type) {
    const auto parsed = parseRegistryPath(path);
    if (!parsed.ok()) {
        return parsed.error();
    }
    StoredValue stored{std::wstring(parsed.value().valueName), std::wstring{}};
    if (type == RegistryType::Dword) {
        const auto number = toDword(value);
        if (!number.ok()) {
            return number.error();
        }
        stored.data = number.value();
    } else if (const auto* text = std::get_if<std::wstring_view>(&value)) {
        stored.data = std::wstring(*text);
    } else {
        stored.data = std::to_wstring(std::get<std::int32_t>(value));
    }
    const auto id = keyId(parsed.value());
    createKey(path.substr(0, path.rfind(L'\\') + 1));
    auto& values = keys_[id].values;
    const auto name = folded(stored.name);
    if (const auto existing = values.find(name); existing != values.end()) {
        stored.name = existing->second.name;
    }
    values[name] = stored;
    return {};
}

std::error_code FakeRegistry::remove(std::wstring_view path) {
    const auto parsed = parseRegistryPath(path);
    if (!parsed.ok()) {
        return parsed.error();
    }
    const auto id = keyId(parsed.value());
    if (!parsed.value().namesKey) {
        const auto key = keys_.find(id);
        if (key == keys_.end() || key->second.values.erase(folded(parsed.value().valueName)) == 0) {
            return notFound();
        }
        return {};
    }
    if (keys_.erase(id) == 0) {
        return notFound();
    }
    std::erase_if(keys_, [&](const auto& entry) { return isBelow(entry.first, id); });
    return {};
}

void FakeRegistry::createKey(std::wstring_view keyPath) {
    const auto id = keyIdOf(keyPath);
    if (!id.ok()) {
        return;
    }
    // Every ancestor below the root exists too, as in the real registry.
    const std::wstring& full = id.value();
    for (auto separator = full.find(L'\\', full.find(L'\\') + 1); separator != std::wstring::npos;
         separator = full.find(L'\\', separator + 1)) {
        keys_.try_emplace(full.substr(0, separator));
    }
    keys_.try_emplace(full);
}

std::optional<StoredValue> FakeRegistry::value(std::wstring_view path) const {
    const auto parsed = parseRegistryPath(path);
    if (!parsed.ok()) {
        return std::nullopt;
    }
    const auto key = keys_.find(keyId(parsed.value()));
    if (key == keys_.end()) {
        return std::nullopt;
    }
    const auto found = key->second.values.find(folded(parsed.value().valueName));
    if (found == key->second.values.end()) {
        return std::nullopt;
    }
    return found->second;
}

bool FakeRegistry::keyExists(std::wstring_view keyPath) const {
    const auto id = keyIdOf(keyPath);
    return id.ok() && keys_.contains(id.value());
}

std::vector<std::wstring> FakeRegistry::valueNames(std::wstring_view keyPath) const {
    std::vector<std::wstring> names;
    const auto id = keyIdOf(keyPath);
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

std::vector<std::wstring> FakeRegistry::subkeyNames(std::wstring_view keyPath) const {
    std::vector<std::wstring> names;
    const auto id = keyIdOf(keyPath);
    if (!id.ok()) {
        return names;
    }
    for (const auto& [candidate, key] : keys_) {
        if (isBelow(candidate, id.value()) &&
            candidate.find(L'\\', id.value().size() + 1) == std::wstring::npos) {
            names.push_back(candidate.substr(id.value().size() + 1));
        }
    }
    return names;
}

std::map<std::wstring, StoredValue> FakeRegistry::snapshot() const {
    std::map<std::wstring, StoredValue> all;
    for (const auto& [id, key] : keys_) {
        for (const auto& [name, stored] : key.values) {
            all[id + L"\\" + name] = stored;
        }
    }
    return all;
}

}  // namespace tovask::fake
