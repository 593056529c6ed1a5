#include "platform/win32/registry/RegistryTree.h"

#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/Handles.h"
#include "platform/win32/SystemError.h"
#include "platform/win32/registry/RegistryKeys.h"
#include "platform/win32/registry/RegistryNames.h"
#include "platform/win32/registry/RegistryRead.h"
#include "text/RegistryPath.h"

namespace tovask::win32 {
namespace {

// The registry itself allows no deeper tree; a deeper one would only come
// from a loop, and must not exhaust the stack.
constexpr int kDeepestLevel = 512;
constexpr REGSAM kTreeAccess = KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS;

// access carries the view: a subkey opened through a key's handle is asked
// for the view again, so that it never slips into the other copy.
Result<RegistryKeyContent> readKey(HKEY key, std::wstring name, REGSAM access, int level) {
    if (level > kDeepestLevel) {
        return std::make_error_code(std::errc::value_too_large);
    }
    const auto valueNames = valueNamesOf(key);
    const auto subkeyNames = subkeyNamesOf(key);
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
