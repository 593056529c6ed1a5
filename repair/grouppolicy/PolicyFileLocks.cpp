#include "repair/grouppolicy/PolicyFileLocks.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "repair/policykeys/PolicyKeyContent.h"
#include "repair/policykeys/PolicyKeyRepair.h"
#include "repair/texts/BrowserNames.h"
#include "text/DecimalText.h"
#include "text/TextCompare.h"
#include "text/Utf8.h"

namespace tovask {
namespace {

// The repair plan deletes Internet Explorer's Control Panel policy key whole,
// in the machine's hive and in each user's: every value below it is a lock.
constexpr std::array kExplorerRules = {
    LockRule{L"Control Panel", LockMatch::Subtree, LockKind::StartAndSearch},
};
constexpr BrowserPolicyKey kExplorerPolicyKey{L"Software\\Policies\\Microsoft\\Internet Explorer",
                                              texts::kInternetExplorer, kExplorerRules, false};

// Each browser's policy key, and Internet Explorer's.
std::vector<const BrowserPolicyKey*> lockedKeys() {
    std::vector<const BrowserPolicyKey*> keys;
    for (const auto& browser : browserPolicyKeys()) {
        keys.push_back(&browser);
    }
    keys.push_back(&kExplorerPolicyKey);
    return keys;
}

constexpr std::wstring_view kSoftPrefix = L"**soft.";

// Group Policy writes a "**soft.<name>" entry's value only when it is missing.
bool isSoft(const PolicyFileEntry& entry) {
    const std::wstring_view name = entry.valueName;
    return name.size() >= kSoftPrefix.size() &&
           equalsIgnoringCase(name.substr(0, kSoftPrefix.size()), kSoftPrefix);
}

// The value an entry writes; none for the other entries named with "**",
// which delete rather than write.
std::optional<std::wstring_view> writtenName(const PolicyFileEntry& entry) {
    const std::wstring_view name = entry.valueName;
    if (isSoft(entry)) {
        return name.substr(kSoftPrefix.size());
    }
    return name.starts_with(L"**") ? std::nullopt : std::optional(name);
}

// The path below the ancestor ("" for the key itself), or none when the key
// lies elsewhere.
std::optional<std::wstring> relativePathBelow(std::wstring_view key, std::wstring_view ancestor) {
    if (key.size() < ancestor.size() ||
        !equalsIgnoringCase(key.substr(0, ancestor.size()), ancestor)) {
        return std::nullopt;
    }
    if (key.size() == ancestor.size()) {
        return std::wstring();
    }
    return key[ancestor.size()] == L'\\'
               ? std::optional(std::wstring(key.substr(ancestor.size() + 1)))
               : std::nullopt;
}

void setValue(RegistryKeyContent& root, std::wstring_view path, std::wstring_view valueName,
              const PolicyFileEntry& entry) {
    auto* key = &root;
    for (std::size_t start = 0; !path.empty() && start <= path.size();) {
        const auto end = std::min(path.find(L'\\', start), path.size());
        const auto name = path.substr(start, end - start);
        auto* subkey = findSubkey(*key, name);
        if (subkey == nullptr) {
            key->subkeys.push_back({std::wstring(name), {}, {}});
            subkey = &key->subkeys.back();
        }
        key = subkey;
        start = end + 1;
    }
    // A later entry for the same value is the one Windows leaves, unless it
    // only writes a missing value.
    const auto same = std::ranges::find_if(key->values, [&](const NamedRegistryValue& value) {
        return equalsIgnoringCase(value.name, valueName);
    });
    if (same == key->values.end()) {
        key->values.push_back({std::wstring(valueName), entry.value});
    } else if (!isSoft(entry)) {
        same->value = entry.value;
    }
}

// The browser's policy key as the file's entries build it.
RegistryKeyContent contentOf(const BrowserPolicyKey& browser,
                             std::span<const PolicyFileEntry> entries) {
    RegistryKeyContent root{std::wstring(browser.keyPath), {}, {}};
    for (const auto& entry : entries) {
        const auto path = relativePathBelow(entry.key, browser.keyPath);
        if (const auto name = writtenName(entry); path && name) {
            setValue(root, *path, *name, entry);
        }
    }
    return root;
}

struct EntryChange {
    bool removed = false;
    std::optional<RegistryValue> rewritten;
};

class FileEdit {
  public:
    explicit FileEdit(std::span<const PolicyFileEntry> entries)
        : entries_(entries), changes_(entries.size()) {}

    void apply(const BrowserPolicyKey& browser, const PolicyKeyEdit& edit) {
        const auto keyOf = [&](std::wstring_view relative) {
            return relative.empty() ? std::wstring(browser.keyPath)
                                    : joinPath(browser.keyPath, relative);
        };
        for (const auto& deleted : edit.valuesToDelete) {
            forEachValue(keyOf(deleted.keyPath), deleted.name,
                         [](EntryChange& change) { change.removed = true; });
        }
        for (const auto& written : edit.valuesToWrite) {
            const auto key = keyOf(written.place.keyPath);
            if (!forEachValue(key, written.place.name, [&](EntryChange& change) {
                    change.removed = false;
                    change.rewritten = written.value;
                })) {
                added_ += policyEntryBytes(key, written.place.name, written.value);
            }
        }
        for (const auto& removed : edit.keysToRemove) {
            const auto key = keyOf(removed);
            for (std::size_t i = 0; i < entries_.size(); ++i) {
                if (relativePathBelow(entries_[i].key, key) && writtenName(entries_[i])) {
                    changes_[i].removed = true;
                }
            }
        }
    }

    std::string bytes(std::string_view original) const {
        std::string result(
            original.substr(0, entries_.empty() ? original.size() : entries_.front().begin));
        for (std::size_t i = 0; i < entries_.size(); ++i) {
            const auto& entry = entries_[i];
            if (changes_[i].rewritten) {
                result += policyEntryBytes(entry.key, entry.valueName, *changes_[i].rewritten);
            } else if (!changes_[i].removed) {
                result += original.substr(entry.begin, entry.end - entry.begin);
            }
        }
        return result + added_;
    }

  private:
    template <typename Change>
    bool forEachValue(std::wstring_view key, std::wstring_view name, Change change) {
        bool any = false;
        for (std::size_t i = 0; i < entries_.size(); ++i) {
            const auto written = writtenName(entries_[i]);
            if (written && equalsIgnoringCase(entries_[i].key, key) &&
                equalsIgnoringCase(*written, name)) {
                change(changes_[i]);
                any = true;
            }
        }
        return any;
    }

    std::span<const PolicyFileEntry> entries_;
    std::vector<EntryChange> changes_;
    std::string added_;
};

}  // namespace

std::vector<PolicyFileLock> findPolicyFileLocks(std::span<const PolicyFileEntry> entries) {
    std::vector<PolicyFileLock> locks;
    for (const auto* browser : lockedKeys()) {
        for (auto& lock : findPolicyLocks(*browser, contentOf(*browser, entries))) {
            locks.push_back({browser, std::move(lock)});
        }
    }
    return locks;
}

std::string withoutPolicyFileLocks(std::string_view bytes, std::span<const PolicyFileEntry> entries,
                                   std::span<const PolicyFileLock> locks) {
    FileEdit edit(entries);
    for (const auto* browser : lockedKeys()) {
        std::vector<PolicyLock> ofBrowser;
        for (const auto& lock : locks) {
            if (lock.browser == browser) {
                ofBrowser.push_back(lock.lock);
            }
        }
        if (!ofBrowser.empty()) {
            const auto before = contentOf(*browser, entries);
            edit.apply(*browser, editBetween(before, withoutLocks(before, ofBrowser)));
        }
    }
    return edit.bytes(bytes);
}

std::optional<std::string> withVersionRaised(std::string_view gptIni, std::uint32_t step) {
    constexpr std::string_view kVersion = "version=";
    for (std::size_t start = 0; start < gptIni.size();) {
        const auto end = std::min(gptIni.find('\n', start), gptIni.size());
        const auto line = gptIni.substr(start, end - start);
        if (line.size() > kVersion.size() &&
            std::ranges::equal(line.substr(0, kVersion.size()), kVersion, {},
                               [](char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; })) {
            const auto digits = line.substr(kVersion.size());
            const auto digitsEnd = digits.find_first_not_of("0123456789");
            std::uint32_t version = 0;
            const auto parsed = std::from_chars(
                digits.data(), digits.data() + std::min(digitsEnd, digits.size()), version);
            if (parsed.ec != std::errc{} || parsed.ptr == digits.data()) {
                return std::nullopt;
            }
            const auto numberStart = start + kVersion.size();
            const auto numberEnd = static_cast<std::size_t>(parsed.ptr - gptIni.data());
            return std::string(gptIni.substr(0, numberStart)) +
                   utf8FromWide(decimalText(version + step)) +
                   std::string(gptIni.substr(numberEnd));
        }
        start = end + 1;
    }
    return std::nullopt;
}

}  // namespace tovask
