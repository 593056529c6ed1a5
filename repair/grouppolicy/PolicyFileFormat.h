#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "values/RegistryValue.h"

namespace tovask {

// Group Policy's registry policy file (Registry.pol): "PReg", version 1, then
// entries "[key;value;type;size;data]" whose brackets, semicolons and
// NUL-terminated names are UTF-16LE and whose type and size are 32-bit
// little-endian numbers. Windows writes each entry back into the registry at
// every policy refresh.
struct PolicyFileEntry {
    std::wstring key;  // below the hive the file applies to
    std::wstring valueName;
    RegistryValue value;
    // Where the entry lies in the file, its brackets included.
    std::size_t begin = 0;
    std::size_t end = 0;

    bool operator==(const PolicyFileEntry&) const = default;
};

// A file of more entries is refused: Windows' own editor never writes one.
inline constexpr std::size_t kMaxPolicyFileEntries = 100'000;

enum class PolicyFileFault {
    NoHeader,        // too short for the header, or not "PReg"
    OtherVersion,    // a version other than 1
    Malformed,       // a bracket, semicolon or name terminator missing, or a name too long
    Truncated,       // an entry runs past the end of the file
    WrongType,       // an unknown type, or data that cannot be of its type
    TooManyEntries,  // more than kMaxPolicyFileEntries
};

struct PolicyFileProblem {
    PolicyFileFault fault;
    std::size_t offset;  // of the entry, or 0 for the header

    bool operator==(const PolicyFileProblem&) const = default;
};

// Strict: the entries must follow each other to the last byte, so that a file
// rewritten from them keeps every byte of the entries it keeps.
std::variant<std::vector<PolicyFileEntry>, PolicyFileProblem> readPolicyFile(
    std::string_view bytes);

// One entry's bytes, as Windows writes it.
std::string policyEntryBytes(std::wstring_view key, std::wstring_view valueName,
                             const RegistryValue& value);

}  // namespace tovask
