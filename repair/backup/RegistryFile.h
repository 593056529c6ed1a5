#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "values/RegistryValue.h"
#include "values/Result.h"

namespace tovask {

// The registry backup is kept in the registry editor's own export format, so
// that the editor or `reg import` can put the registry back without us.
struct RegistryFileEntry {
    std::wstring name;                   // empty: the key's default value, written @
    std::optional<RegistryValue> value;  // none: the value is deleted, written "name"=- (or @=-)
    bool operator==(const RegistryFileEntry&) const = default;
};

struct RegistryFileSection {
    // The full key name as between the brackets: "HKEY_CURRENT_USER\\Software\\X".
    std::wstring key;
    // [-key]: the key and its subtree are deleted; such a section has no entries.
    bool removesKey = false;
    std::vector<RegistryFileEntry> entries;
    bool operator==(const RegistryFileSection&) const = default;
};

// The file's bytes: UTF-16LE with byte-order mark, CRLF lines, ending in a
// comment line that marks the file as complete. Fails with
// std::errc::invalid_argument when a key or value name cannot be written: a
// name holding CR, LF or NUL, an empty key name or name component, a key name
// starting with '-', or a removed key that lists entries.
Result<std::string> writeRegistryFile(std::span<const RegistryFileSection> sections);
// Adds the entry to the section of its key, or to a new section at the end.
void addToSection(std::vector<RegistryFileSection>& sections, std::wstring key,
                  RegistryFileEntry entry);
// Adds sections that put back the key with every value and key below it.
void addKeyTree(std::vector<RegistryFileSection>& sections, const std::wstring& fileKey,
                const RegistryKeyContent& content);
// The first key, or key and value name, that no registry file can hold.
std::optional<std::wstring> firstUnwritableName(std::span<const RegistryFileSection> sections);

enum class RegistryFileFault { NotUtf16, NoHeader, Malformed, Truncated };

struct RegistryFileProblem {
    RegistryFileFault fault;
    std::size_t line;  // 1-based; 0 when no line applies
};

// Strict: the file guards an elevated import, so anything this program would
// not have written is refused, and the first problem is reported.
std::variant<std::vector<RegistryFileSection>, RegistryFileProblem> readRegistryFile(
    std::string_view bytes);

}  // namespace tovask
