#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

namespace tovask::testsupport {

// A registry value as read back, reduced to what the tests compare.
struct StoredValue {
    DWORD type;
    std::wstring text;     // REG_SZ
    std::uint32_t number;  // REG_DWORD
    bool operator==(const StoredValue&) const = default;
};
StoredValue stringValue(std::wstring text);
StoredValue dwordValue(std::uint32_t number);
void PrintTo(const StoredValue& value, std::ostream* out);

// view is 0, KEY_WOW64_32KEY or KEY_WOW64_64KEY. An empty name reads the
// key's default value.
std::optional<StoredValue> readValue(HKEY root, const std::wstring& key, const std::wstring& name,
                                     REGSAM view = 0);
bool keyExists(HKEY root, const std::wstring& key, REGSAM view = 0);
// Writes straight through the system, bypassing the platform under test.
void writeStringDirectly(HKEY root, const std::wstring& key, const std::wstring& name,
                         const std::wstring& text, REGSAM view);
// Removes the key and its subtree from both views; nothing there is fine.
void removeKeyEverywhere(HKEY root, const std::wstring& key);
// Puts a registry link at the machine's `key` that leads to its `target`, both
// below HKLM as this program sees them, as whoever may write the key's parent
// can; removeLink takes the link itself away, never what it leads to.
void makeLink(const std::wstring& key, const std::wstring& target);
void removeLink(const std::wstring& key);

}  // namespace tovask::testsupport
