#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tovask {

// The registry value types the program names; any other number is kept as is.
namespace regtype {
inline constexpr std::uint32_t kNone = 0;
inline constexpr std::uint32_t kString = 1;
inline constexpr std::uint32_t kExpandString = 2;
inline constexpr std::uint32_t kBinary = 3;
inline constexpr std::uint32_t kDword = 4;
inline constexpr std::uint32_t kMultiString = 7;
inline constexpr std::uint32_t kQword = 11;
}  // namespace regtype

// Which copy of the machine-wide software keys a call reaches. A 64-bit Windows
// keeps a 32-bit and a 64-bit copy; every other key, and every key of a 32-bit
// Windows, has only the one the system picks by default.
enum class RegistryView { Default, Bits32, Bits64 };

// How RegWrite stores its value: the plain call stores a string; "REG_DWORD"
// stores a 32-bit number taken from an integer or from a decimal text.
enum class RegistryType { String, Dword };
using RegistryData = std::variant<std::wstring_view, std::int32_t>;

// A value exactly as the registry keeps it: its type number and raw bytes.
struct RegistryValue {
    std::uint32_t type = regtype::kNone;
    std::vector<std::uint8_t> bytes;

    bool operator==(const RegistryValue&) const = default;
};

struct NamedRegistryValue {
    std::wstring name;  // empty for the key's default value
    RegistryValue value;

    bool operator==(const NamedRegistryValue&) const = default;
};

// A key with everything below it, names as the registry spells them.
struct RegistryKeyContent {
    std::wstring name;
    std::vector<NamedRegistryValue> values;
    std::vector<RegistryKeyContent> subkeys;

    bool operator==(const RegistryKeyContent&) const = default;
};

}  // namespace tovask
