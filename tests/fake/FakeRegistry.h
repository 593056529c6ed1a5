#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <variant>
#include <vector>

#include "platform/PlatformOps.h"
#include "values/RegistryValue.h"
#include "values/Result.h"

namespace tovask::fake {

// A value as the tests read it: text for REG_SZ, a number for REG_DWORD, the
// raw form for every other type.
struct StoredValue {
    std::wstring name;  // as first written; names compare without regard to case
    std::variant<std::wstring, std::uint32_t, RegistryValue> data;

    bool operator==(const StoredValue&) const = default;
};

// An in-memory registry that follows the rules of the real one: keys are
// created on the way by a write, names compare without regard to case and
// keep their blanks, deleting a key takes its whole subtree, and deleting
// what is missing reports "not found". With two views, the machine-wide keys
// exist twice (the 32-bit view is the default one, as for the program) and the
// plain write and delete act on both, as on a 64-bit Windows. A key may be a
// link to another: reads follow it, and a change that would act through it
// at the key it names, or remove one below, is refused.
class FakeRegistry {
  public:
    bool twoViews = false;

    std::error_code write(std::wstring_view path, RegistryData value, RegistryType type);
    std::error_code remove(std::wstring_view path);

    Result<RegistryValue> readValue(std::wstring_view path, RegistryView view) const;
    bool keyExists(std::wstring_view keyPath, RegistryView view) const;
    Result<RegistryKeyContent> readTree(std::wstring_view keyPath, RegistryView view) const;
    std::error_code createKey(std::wstring_view keyPath, RegistryView view);
    std::error_code writeRaw(std::wstring_view keyPath, std::wstring_view valueName,
                             const RegistryValue& value, RegistryView view);
    std::error_code removeIn(std::wstring_view path, RegistryView view);
    std::error_code removeValueIn(std::wstring_view keyPath, std::wstring_view valueName,
                                  RegistryView view);
    std::error_code removeKeyAsRead(std::wstring_view keyPath, RegistryView view,
                                    const BeforeKeyRemoval& beforeRemoval);
    std::error_code removeValueAsRead(std::wstring_view keyPath, std::wstring_view valueName,
                                      RegistryView view, const BeforeValueRemoval& beforeRemoval);

    // Puts a link to the target in the place of the key and all below it, as
    // whoever may write the key's parent can.
    void link(std::wstring_view keyPath, std::wstring_view targetKeyPath,
              RegistryView view = RegistryView::Default);

    // The keys on the way to the plan's keys that a real Windows always has,
    // in every view, under HKCU and HKLM or under one root such as a user's hive.
    void addKeysEveryWindowsHas();
    void addKeysEveryWindowsHas(std::wstring_view root);

    // Inspection and seeding for tests, in the default view; paths use the
    // same syntax as above.
    void createKey(std::wstring_view keyPath);
    std::optional<StoredValue> value(std::wstring_view path) const;
    bool keyExists(std::wstring_view keyPath) const;
    std::vector<std::wstring> valueNames(std::wstring_view keyPath) const;
    std::vector<std::wstring> subkeyNames(std::wstring_view keyPath) const;
    std::vector<std::wstring> subkeyNames(std::wstring_view keyPath, RegistryView view) const;
    // Every value in the registry, keyed by its folded full path.
    std::map<std::wstring, StoredValue> snapshot() const;

    struct Key {
        std::wstring name;  // the last name of the key, as first created
        std::map<std::wstring, NamedRegistryValue> values;  // keyed by folded name
        bool operator==(const Key&) const = default;
    };
    // Everything, keys and values of every view, keyed by folded "ROOT\key".
    using State = std::map<std::wstring, Key>;
    const State& state() const { return keys_; }

    // The names of the keys directly under HKEY_USERS.
    std::vector<std::wstring> userHiveNames() const;
    // Takes the hive mounted as HKU\<name> out of the registry, and puts one
    // back under a name, as unloading and loading a hive file do.
    State detachHive(std::wstring_view name);
    void attachHive(std::wstring_view name, const State& hive);

  private:
    Result<std::wstring> keyIdOf(std::wstring_view keyPath, RegistryView view) const;
    // The key the identity reaches through the links on its way, and through
    // its own last name too when `followLast`.
    std::wstring followed(std::wstring id, bool followLast) const;
    // The key a change acts on, or the refusal when it is a link.
    Result<std::wstring> changedKeyId(std::wstring_view keyPath, RegistryView view) const;
    bool hasLinkAtOrBelow(std::wstring_view id) const;
    Result<RegistryKeyContent> readTreeById(const std::wstring& id, int level) const;
    void createKeyById(std::wstring_view id, std::wstring_view shownPath);
    void eraseTree(std::wstring_view id);

    State keys_;
    std::map<std::wstring, std::wstring> links_;  // a link's identity -> its target's
};

}  // namespace tovask::fake
