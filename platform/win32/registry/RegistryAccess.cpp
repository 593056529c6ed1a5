#include "platform/win32/registry/RegistryAccess.h"

#include <windows.h>
#include <winternl.h>

#include <span>
#include <string>
#include <vector>

#include "platform/win32/Handles.h"
#include "platform/win32/SystemError.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/registry/RegistryKeys.h"
#include "platform/win32/registry/RegistryRead.h"
#include "platform/win32/registry/RegistryTree.h"
#include "text/RegistryEncoding.h"
#include "text/RegistryPath.h"

namespace tovask::win32 {
namespace {

// In every process from its start: nothing is loaded, and no copy beside the
// program is looked for; the program imports nothing from it.
template <typename Function>
Function ntdllExport(const char* name) {
    return findExport<Function>(GetModuleHandleW(L"ntdll.dll"), name);
}

// Deletes the key the handle was opened on, whatever has taken its name since:
// a delete by name would follow a link put in its place.
std::error_code deleteKeyByHandle(const RegistryKey& key) {
    using DeleteKey = NTSTATUS(NTAPI*)(HANDLE key);
    using StatusToError = ULONG(NTAPI*)(NTSTATUS status);
    static const auto deleteKey = ntdllExport<DeleteKey>("NtDeleteKey");
    static const auto statusToError = ntdllExport<StatusToError>("RtlNtStatusToDosError");
    if (deleteKey == nullptr || statusToError == nullptr) {
        return std::make_error_code(std::errc::function_not_supported);
    }
    const NTSTATUS status = deleteKey(key.get());
    return status >= 0 ? std::error_code{} : errorFromCode(statusToError(status));
}

std::error_code writeInView(const RegistryPath& path, std::wstring_view name,
                            const RegistryValue& value, RegistryView view) {
    RegistryKey key;
    if (const auto error = createKeyNotLink(path, KEY_SET_VALUE, view, key)) {
        return error;
    }
    // When string data does not end in a null but a null follows it in memory,
    // RegSetValueExW takes that null in as a forgotten terminator. A
    // character that is not null behind the data keeps its bytes exact.
    std::vector<std::uint8_t> data(value.bytes);
    data.insert(data.end(), {0xff, 0xff});
    // An empty value name is the key's default value.
    const std::wstring valueName(name);
    return errorFromCode(RegSetValueExW(key.get(), valueName.c_str(), 0, value.type, data.data(),
                                        static_cast<DWORD>(value.bytes.size())));
}

std::error_code removeKeyInView(const RegistryPath& path, RegistryView view,
                                const BeforeKeyRemoval& beforeRemoval) {
    constexpr REGSAM kRemovalAccess = DELETE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE;
    const REGSAM access = kRemovalAccess | viewAccess(view);
    RegistryKey key;
    if (const auto error = openKeyNotLink(path, kRemovalAccess, view, key)) {
        return error;
    }
    std::vector<RegistryKey> keysBelow;
    const auto content = readTreeToRemove(key.get(), path.key, access, keysBelow);
    if (!content.ok()) {
        return content.error();
    }
    if (beforeRemoval) {
        if (const auto error = beforeRemoval(content.value())) {
            return error;
        }
    }
    // A key goes only once it has no subkeys: the deepest first.
    for (const auto& below : keysBelow) {
        if (const auto error = deleteKeyByHandle(below)) {
            return error;
        }
    }
    return deleteKeyByHandle(key);
}

std::error_code removeValueInView(const RegistryPath& path, std::wstring_view name,
                                  RegistryView view, const BeforeValueRemoval& beforeRemoval) {
    RegistryKey key;
    if (const auto error = openKeyNotLink(path, KEY_QUERY_VALUE | KEY_SET_VALUE, view, key)) {
        return error;
    }
    const std::wstring valueName(name);
    if (beforeRemoval) {
        const auto value = queryValue(key.get(), valueName);
        if (!value.ok()) {
            return value.error();
        }
        if (const auto error = beforeRemoval(value.value())) {
            return error;
        }
    }
    return errorFromCode(RegDeleteValueW(key.get(), valueName.c_str()));
}

std::error_code deleteKeyInView(const RegistryPath& path, RegistryView view) {
    return removeKeyInView(path, view, {});
}

std::error_code deleteValueInView(const RegistryPath& path, std::wstring_view name,
                                  RegistryView view) {
    return removeValueInView(path, name, view, {});
}

std::error_code deleteInView(const RegistryPath& path, RegistryView view) {
    return path.namesKey ? deleteKeyInView(path, view)
                         : deleteValueInView(path, path.valueName, view);
}

std::span<const RegistryView> allViewsOf(const RegistryPath& path) {
    return viewsFor(path.root, path.key, hasTwoRegistryViews());
}

}  // namespace

std::error_code writeRegistryValue(std::wstring_view text, RegistryData data, RegistryType type) {
    const auto path = parseRegistryPath(text);
    if (!path.ok()) {
        return path.error();
    }
    const auto value = encodeRegistryData(data, type);
    if (!value.ok()) {
        return value.error();
    }
    // Every view is tried even after one failed: the repair gets as far as it can.
    std::error_code firstFailure;
    for (const RegistryView view : allViewsOf(path.value())) {
        const auto error = writeInView(path.value(), path.value().valueName, value.value(), view);
        if (error && !firstFailure) {
            firstFailure = error;
        }
    }
    return firstFailure;
}

std::error_code deleteRegistryEntry(std::wstring_view text) {
    const auto path = parseRegistryPath(text);
    if (!path.ok()) {
        return path.error();
    }
    bool deletedSomewhere = false;
    std::error_code firstFailure;
    for (const RegistryView view : allViewsOf(path.value())) {
        const auto error = deleteInView(path.value(), view);
        if (!error) {
            deletedSomewhere = true;
        } else if (!isNotFound(error) && !firstFailure) {
            firstFailure = error;
        }
    }
    if (firstFailure || deletedSomewhere) {
        return firstFailure;
    }
    return std::make_error_code(std::errc::no_such_file_or_directory);
}

std::error_code writeRawValue(std::wstring_view keyPath, std::wstring_view valueName,
                              const RegistryValue& value, RegistryView view) {
    const auto path = parseKeyPath(keyPath);
    return path.ok() ? writeInView(path.value(), valueName, value, view) : path.error();
}

std::error_code deleteValueOfKey(std::wstring_view keyPath, std::wstring_view valueName,
                                 RegistryView view) {
    const auto path = parseKeyPath(keyPath);
    return path.ok() ? deleteValueInView(path.value(), valueName, view) : path.error();
}

std::error_code deleteEntryInView(std::wstring_view text, RegistryView view) {
    const auto path = parseRegistryPath(text);
    return path.ok() ? deleteInView(path.value(), view) : path.error();
}

std::error_code createRegistryKey(std::wstring_view keyPath, RegistryView view) {
    const auto path = parseKeyPath(keyPath);
    if (!path.ok()) {
        return path.error();
    }
    RegistryKey key;
    return createKeyNotLink(path.value(), KEY_QUERY_VALUE, view, key);
}

std::error_code removeKeyAsRead(std::wstring_view keyPath, RegistryView view,
                                const BeforeKeyRemoval& beforeRemoval) {
    const auto path = parseKeyPath(keyPath);
    return path.ok() ? removeKeyInView(path.value(), view, beforeRemoval) : path.error();
}

std::error_code removeValueAsRead(std::wstring_view keyPath, std::wstring_view valueName,
                                  RegistryView view, const BeforeValueRemoval& beforeRemoval) {
    const auto path = parseKeyPath(keyPath);
    return path.ok() ? removeValueInView(path.value(), valueName, view, beforeRemoval)
                     : path.error();
}

}  // namespace tovask::win32
