#include "platform/win32/registry/RegistryRead.h"

#include <algorithm>
#include <vector>

#include "platform/win32/Handles.h"
#include "platform/win32/SystemError.h"
#include "platform/win32/registry/RegistryKeys.h"
#include "platform/win32/registry/RegistryNames.h"
#include "text/RegistryPath.h"

namespace tovask::win32 {
namespace {

// Most values fit at the first try; a larger one reports its size.
constexpr DWORD kFirstGuess = 256;

}  // namespace

Result<RegistryValue> queryValue(HKEY key, const std::wstring& name) {
    // Never a null buffer: with one the call succeeds without reading the data.
    std::vector<std::uint8_t> bytes(kFirstGuess);
    for (;;) {
        DWORD type = REG_NONE;
        auto size = static_cast<DWORD>(bytes.size());
        const LSTATUS status =
            RegQueryValueExW(key, name.c_str(), nullptr, &type, bytes.data(), &size);
        // The value may grow again between two calls: the loop asks once more.
        if (status == ERROR_MORE_DATA) {
            bytes.resize(std::max<std::size_t>(size, bytes.size() * 2));
            continue;
        }
        if (const auto error = errorFromCode(static_cast<DWORD>(status))) {
            return error;
        }
        bytes.resize(size);
        return RegistryValue{type, std::move(bytes)};
    }
}

Result<RegistryValue> readRegistryValue(std::wstring_view text, RegistryView view) {
    const auto path = parseRegistryPath(text);
    if (!path.ok()) {
        return path.error();
    }
    RegistryKey key;
    if (const auto error = openKey(path.value(), KEY_QUERY_VALUE, view, key)) {
        return error;
    }
    return queryValue(key.get(), std::wstring(path.value().valueName));
}

Result<bool> registryKeyExists(std::wstring_view keyPath, RegistryView view) {
    const auto path = parseKeyPath(keyPath);
    if (!path.ok()) {
        return path.error();
    }
    RegistryKey key;
    const auto error = openKey(path.value(), KEY_QUERY_VALUE, view, key);
    if (isNotFound(error)) {
        return false;
    }
    if (error) {
        return error;
    }
    return true;
}

Result<SubkeyListing> listRegistrySubkeys(std::wstring_view keyPath, RegistryView view,
                                          std::size_t mostNames) {
    const auto path = parseKeyPath(keyPath);
    if (!path.ok()) {
        return path.error();
    }
    RegistryKey key;
    if (const auto error =
            openKey(path.value(), KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS, view, key)) {
        return error;
    }
    return subkeyNamesOf(key.get(), mostNames);
}

}  // namespace tovask::win32
