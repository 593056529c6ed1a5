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

namespace tovask::fake {

struct StoredValue {
    std::wstring name;  // as first written; names compare without regard to case
    std::variant<std::wstring, std::uint32_t> data;

    bool operator==(const StoredValue&) const = default;
};

// An in-memory registry that follows the rules of the real one: keys are
// created on the way by a write, names compare without regard to case and
// keep their blanks, deleting a key takes its whole subtree, and deleting
// what is missing reports "not found".
class FakeRegistry {
  public:
    std::error_code write(std::wstring_view path, RegistryData value, RegistryType type);
    std::error_code remove(std::wstring_view path);

    // Inspection and seeding for tests; paths use the same syntax as above.
    void createKey(std::wstring_view keyPath);
    std::optional<StoredValue> value(std::wstring_view path) const;
    bool keyExists(std::wstring_view keyPath) const;
    std::vector<std::wstring> valueNames(std::wstring_view keyPath) const;
    std::vector<std::wstring> subkeyNames(std::wstring_view keyPath) const;
    // Every value in the registry, keyed by its folded full path.
    std::map<std::wstring, StoredValue> snapshot() const;

  private:
    struct Key {
        std::map<std::wstring, StoredValue> values;  // keyed by folded name
    };
    std::map<std::wstring, Key> keys_;  // keyed by folded "ROOT\key\path"
};

}  // namespace tovask::fake
