#include "platform/win32/RegistryAccess.h"

#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "platform/RegistryPath.h"
#include "platform/win32/Handles.h"
#include "platform/win32/SystemError.h"

namespace tovask::win32 {
namespace {

constexpr REGSAM kBothViews[] = {KEY_WOW64_32KEY, KEY_WOW64_64KEY};
constexpr REGSAM kDefaultView[] = {0};

// A 32-bit process on 64-bit Windows sees only the 32-bit copy of the
// machine-wide software keys unless it names a view. The user's keys are
// shared by both views.
std::span<const REGSAM> viewsFor(RegistryRoot root) {
    BOOL wow64 = FALSE;
    const bool hasTwoViews = IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
    if (root == RegistryRoot::LocalMachine && hasTwoViews) {
        return kBothViews;
    }
    return kDefaultView;
}

HKEY rootKey(RegistryRoot root) {
    return root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

struct StoredValue {
    DWORD type;
    std::vector<BYTE> bytes;
};

StoredValue dwordValue(std::uint32_t number) {
    std::vector<BYTE> bytes(sizeof(DWORD));
    std::memcpy(bytes.data(), &number, bytes.size());
    return {REG_DWORD, std::move(bytes)};
}

StoredValue stringValue(const std::wstring& text) {
    const auto* first = reinterpret_cast<const BYTE*>(text.c_str());
    // REG_SZ data carries its terminating null.
    return {REG_SZ, std::vector<BYTE>(first, first + (text.size() + 1) * sizeof(wchar_t))};
}

Result<StoredValue> encode(RegistryData data, RegistryType type) {
    if (type == RegistryType::Dword) {
        const auto number = toDword(data);
        if (!number.ok()) {
            return number.error();
        }
        return dwordValue(number.value());
    }
    if (const auto* number = std::get_if<std::int32_t>(&data)) {
        return stringValue(std::to_wstring(*number));
    }
    return stringValue(std::wstring(std::get<std::wstring_view>(data)));
}

std::error_code writeInView(const RegistryPath& path, const StoredValue& value, REGSAM view) {
    const std::wstring keyName(path.key);
    RegistryKey key;
    if (const auto error = errorFromCode(RegCreateKeyExW(
            rootKey(path.root), keyName.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
            KEY_SET_VALUE | view, nullptr, key.receive(), nullptr))) {
        return error;
    }
    // An empty value name is the key's default value.
    const std::wstring valueName(path.valueName);
    return errorFromCode(RegSetValueExW(key.get(), valueName.c_str(), 0, value.type,
                                        value.bytes.data(),
                                        static_cast<DWORD>(value.bytes.size())));
}

std::error_code deleteKeyInView(const RegistryPath& path, REGSAM view) {
    const std::wstring keyName(path.key);
    RegistryKey key;
    constexpr REGSAM kTreeAccess =
        DELETE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | KEY_SET_VALUE;
    if (const auto error = errorFromCode(RegOpenKeyExW(rootKey(path.root), keyName.c_str(), 0,
                                                       kTreeAccess | view, key.receive()))) {
        return error;
    }
    // RegDeleteKeyExW removes only a key without subkeys, so the subtree goes first.
    if (const auto error = errorFromCode(RegDeleteTreeW(key.get(), nullptr))) {
        return error;
    }
    key.reset();
    return errorFromCode(RegDeleteKeyExW(rootKey(path.root), keyName.c_str(), view, 0));
}

std::error_code deleteValueInView(const RegistryPath& path, REGSAM view) {
    const std::wstring keyName(path.key);
    RegistryKey key;
    if (const auto error = errorFromCode(RegOpenKeyExW(rootKey(path.root), keyName.c_str(), 0,
                                                       KEY_SET_VALUE | view, key.receive()))) {
        return error;
    }
    const std::wstring valueName(path.valueName);
    return errorFromCode(RegDeleteValueW(key.get(), valueName.c_str()));
}

}  // namespace

std::error_code writeRegistryValue(std::wstring_view text, RegistryData data, RegistryType type) {
    const auto path = parseRegistryPath(text);
    if (!path.ok()) {
        return path.error();
    }
    const auto value = encode(data, type);
    if (!value.ok()) {
        return value.error();
    }
    // Every view is tried even after one failed: the repair gets as far as it can.
    std::error_code firstFailure;
    for (const REGSAM view : viewsFor(path.value().root)) {
        const auto error = writeInView(path.value(), value.value(), view);
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
    for (const REGSAM view : viewsFor(path.value().root)) {
        const auto error = path.value().namesKey ? deleteKeyInView(path.value(), view)
                                                 : deleteValueInView(path.value(), view);
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

}  // namespace tovask::win32
