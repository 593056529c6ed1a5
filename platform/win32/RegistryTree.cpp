#include "platform/win32/RegistryTree.h"

#include <windows.h>

#include <string>
#include <vector>

#include "platform/RegistryPath.h"
#include "platform/win32/Handles.h"
#include "platform/win32/RegistryKeys.h"
#include "platform/win32/RegistryRead.h"
#include "platform/win32/SystemError.h"

namespace tovask::win32 {
namespace {

// The registry itself allows no deeper tree; a deeper one would only come
// from a loop, and must not exhaust the stack.
constexpr int kDeepestLevel = 512;
constexpr REGSAM kTreeAccess = KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS;

struct NameLengths {
    DWORD longestSubkeyName = 0;
    DWORD longestValueName = 0;
};

Result<NameLengths> nameLengthsOf(HKEY key) {
    NameLengths lengths;
    if (const auto error = errorFromCode(RegQueryInfoKeyW(
            key, nullptr, nullptr, nullptr, nullptr, &lengths.longestSubkeyName, nullptr, nullptr,
            &lengths.longestValueName, nullptr, nullptr, nullptr))) {
        return error;
    }
    return lengths;
}

// Calls enumerate(index, buffer, length) for index 0, 1, ... until the
// registry has no more names. The lengths are in characters, without the null.
template <typename Enumerate>
Result<std::vector<std::wstring>> namesFrom(DWORD longestName, Enumerate enumerate) {
    std::vector<std::wstring> names;
    std::wstring buffer(longestName + 1, L'\0');
    for (DWORD index = 0;;) {
        auto length = static_cast<DWORD>(buffer.size());
        const LSTATUS status = enumerate(index, buffer.data(), &length);
        if (status == ERROR_NO_MORE_ITEMS) {
            return names;
        }
        // A longer name arrived since the lengths were taken.
        if (status == ERROR_MORE_DATA) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (const auto error = errorFromCode(static_cast<DWORD>(status))) {
            return error;
        }
        names.emplace_back(buffer.data(), length);
        ++index;
    }
}

// access carries the view: a subkey opened through a key's handle is asked
// for the view again, so that it never slips into the other copy.
Result<RegistryKeyContent> readKey(HKEY key, std::wstring name, REGSAM access, int level) {
    if (level > kDeepestLevel) {
        return std::make_error_code(std::errc::value_too_large);
    }
    const auto lengths = nameLengthsOf(key);
    if (!lengths.ok()) {
        return lengths.error();
    }
    const auto valueNames = namesFrom(
        lengths.value().longestValueName, [key](DWORD index, wchar_t* name, DWORD* length) {
            return RegEnumValueW(key, index, name, length, nullptr, nullptr, nullptr, nullptr);
        });
    const auto subkeyNames = namesFrom(
        lengths.value().longestSubkeyName, [key](DWORD index, wchar_t* name, DWORD* length) {
            return RegEnumKeyExW(key, index, name, length, nullptr, nullptr, nullptr, nullptr);
        });
    if (!valueNames.ok() || !subkeyNames.ok()) {
        return valueNames.ok() ? subkeyNames.error() : valueNames.error();
    }

    RegistryKeyContent content{std::move(name), {}, {}};
    for (const auto& valueName : valueNames.value()) {
        auto value = queryValue(key, valueName);
        if (!value.ok()) {
            return value.error();
        }
        content.values.push_back({valueName, value.value()});
    }
    for (const auto& subkeyName : subkeyNames.value()) {
        RegistryKey subkey;
        if (const auto error = errorFromCode(
                RegOpenKeyExW(key, subkeyName.c_str(), 0, access, subkey.receive()))) {
            return error;
        }
        auto subtree = readKey(subkey.get(), subkeyName, access, level + 1);
        if (!subtree.ok()) {
            return subtree.error();
        }
        content.subkeys.push_back(subtree.value());
    }
    return content;
}

}  // namespace

Result<RegistryKeyContent> readRegistryTree(std::wstring_view keyPath, RegistryView view) {
    const auto path = parseKeyPath(keyPath);
    if (!path.ok()) {
        return path.error();
    }
    RegistryKey key;
    if (const auto error = openKey(path.value(), kTreeAccess, view, key)) {
        return error;
    }
    const auto keyNames = path.value().key;
    return readKey(key.get(), std::wstring(keyNames.substr(keyNames.rfind(L'\\') + 1)),
                   kTreeAccess | viewAccess(view), 1);
}

}  // namespace tovask::win32
