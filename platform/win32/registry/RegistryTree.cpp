#include "platform/win32/registry/RegistryTree.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32/Handles.h"
#include "platform/win32/SystemError.h"
#include "platform/win32/registry/RegistryKeys.h"
#include "platform/win32/registry/RegistryNames.h"
#include "text/RegistryPath.h"

namespace tovask::win32 {
namespace {

// The registry itself allows no deeper tree; a deeper one would only come
// from a loop, and must not exhaust the stack.
constexpr int kDeepestLevel = 512;
constexpr REGSAM kTreeAccess = KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS;

// What one call tells of a key: how many subkeys and values it holds and
// the longest name and data of each, so that a value then takes one call
// and a key without subkeys none for them. A tree holds hundreds of keys,
// and each call is a round trip to the system.
struct KeyShape {
    DWORD subkeys = 0;
    DWORD longestSubkeyName = 0;
    DWORD values = 0;
    DWORD longestValueName = 0;
    DWORD longestData = 0;
};

Result<KeyShape> shapeOf(HKEY key) {
    KeyShape shape;
    if (const auto error = errorFromCode(RegQueryInfoKeyW(
            key, nullptr, nullptr, nullptr, &shape.subkeys, &shape.longestSubkeyName, nullptr,
            &shape.values, &shape.longestValueName, &shape.longestData, nullptr, nullptr))) {
        return error;
    }
    return shape;
}

// The values as the key held them when its shape was taken: one that went
// since ends the list, one that came since is not read, as if it had come
// after the read; one that grew is asked for again with room for it.
Result<std::vector<NamedRegistryValue>> valuesOf(HKEY key, const KeyShape& shape) {
    std::vector<NamedRegistryValue> values;
    std::wstring name(shape.longestValueName + 1, L'\0');
    // Never a null buffer: with one the call succeeds without reading the data.
    std::vector<std::uint8_t> data(std::max<DWORD>(shape.longestData, 1));
    for (DWORD index = 0; index < shape.values;) {
        auto nameLength = static_cast<DWORD>(name.size());
        auto dataSize = static_cast<DWORD>(data.size());
        DWORD type = REG_NONE;
        const LSTATUS status = RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type,
                                             data.data(), &dataSize);
        if (status == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (status == ERROR_MORE_DATA) {
            name.resize(name.size() * 2);
            data.resize(std::max<std::size_t>(dataSize, data.size() * 2));
            continue;
        }
        if (const auto error = errorFromCode(static_cast<DWORD>(status))) {
            return error;
        }
        values.push_back(
            {std::wstring(name.data(), nameLength),
             {type, std::vector<std::uint8_t>(data.begin(), data.begin() + dataSize)}});
        ++index;
    }
    return values;
}

// How a tree is walked. access carries the view: a subkey opened through a
// key's handle is asked for the view again, so that it never slips into the
// other copy. A walk for a removal opens no key through a link and keeps the
// handles of the keys below, deepest first, to remove them by those handles.
struct TreeWalk {
    REGSAM access;
    std::vector<RegistryKey>* keptBelow = nullptr;
};

std::error_code openSubkey(HKEY key, const std::wstring& name, const TreeWalk& walk,
                           RegistryKey& subkey) {
    if (walk.keptBelow != nullptr) {
        return openKeyNotLink(key, name, walk.access, subkey);
    }
    return errorFromCode(RegOpenKeyExW(key, name.c_str(), 0, walk.access, subkey.receive()));
}

Result<RegistryKeyContent> readKey(HKEY key, std::wstring name, const TreeWalk& walk, int level) {
    if (level > kDeepestLevel) {
        return std::make_error_code(std::errc::value_too_large);
    }
    const auto shape = shapeOf(key);
    if (!shape.ok()) {
        return shape.error();
    }
    auto values = valuesOf(key, shape.value());
    if (!values.ok()) {
        return values.error();
    }
    RegistryKeyContent content{std::move(name), std::move(values).value(), {}};
    if (shape.value().subkeys == 0) {
        return content;
    }
    const auto subkeyNames = subkeyNamesOf(key, shape.value().longestSubkeyName);
    if (!subkeyNames.ok()) {
        return subkeyNames.error();
    }
    content.subkeys.reserve(subkeyNames.value().size());
    for (const auto& subkeyName : subkeyNames.value()) {
        RegistryKey subkey;
        if (const auto error = openSubkey(key, subkeyName, walk, subkey)) {
            return error;
        }
        auto subtree = readKey(subkey.get(), subkeyName, walk, level + 1);
        if (!subtree.ok()) {
            return subtree.error();
        }
        content.subkeys.push_back(std::move(subtree).value());
        if (walk.keptBelow != nullptr) {
            walk.keptBelow->push_back(std::move(subkey));
        }
    }
    return content;
}

std::wstring lastNameOf(std::wstring_view keyNames) {
    return std::wstring(keyNames.substr(keyNames.rfind(L'\\') + 1));
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
    return readKey(key.get(), lastNameOf(path.value().key), {kTreeAccess | viewAccess(view)}, 1);
}

Result<RegistryKeyContent> readTreeToRemove(HKEY key, std::wstring_view keyNames, REGSAM access,
                                            std::vector<RegistryKey>& keptBelow) {
    return readKey(key, lastNameOf(keyNames), {access, &keptBelow}, 1);
}

}  // namespace tovask::win32
