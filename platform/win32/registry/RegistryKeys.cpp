#include "platform/win32/registry/RegistryKeys.h"

#include <string>

#include "platform/win32/SystemError.h"

namespace tovask::win32 {

bool hasTwoRegistryViews() {
    // A 64-bit program runs only on a 64-bit Windows; IsWow64Process would
    // answer false for it there.
    if constexpr (sizeof(void*) == 8) {
        return true;
    }
    // The answer cannot change while the process runs.
    static const bool twoViews = [] {
        BOOL wow64 = FALSE;
        return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
    }();
    return twoViews;
}

REGSAM viewAccess(RegistryView view) {
    switch (view) {
        case RegistryView::Bits32:
            return KEY_WOW64_32KEY;
        case RegistryView::Bits64:
            return KEY_WOW64_64KEY;
        case RegistryView::Default:
            break;
    }
    return 0;
}

HKEY rootKey(RegistryRoot root) {
    switch (root) {
        case RegistryRoot::LocalMachine:
            return HKEY_LOCAL_MACHINE;
        case RegistryRoot::Users:
            return HKEY_USERS;
        case RegistryRoot::CurrentUser:
            break;
    }
    return HKEY_CURRENT_USER;
}

Result<RegistryPath> parseKeyPath(std::wstring_view text) {
    auto path = parseRegistryPath(text);
    if (path.ok() && !path.value().namesKey) {
        return std::make_error_code(std::errc::invalid_argument);
    }
    return path;
}

std::error_code openKey(const RegistryPath& path, REGSAM access, RegistryView view,
                        RegistryKey& key) {
    const std::wstring keyName(path.key);
    return errorFromCode(RegOpenKeyExW(rootKey(path.root), keyName.c_str(), 0,
                                       access | viewAccess(view), key.receive()));
}

std::error_code openKeyNotLink(HKEY parent, const std::wstring& name, REGSAM access,
                               RegistryKey& key) {
    if (const auto error = errorFromCode(RegOpenKeyExW(parent, name.c_str(), REG_OPTION_OPEN_LINK,
                                                       access | KEY_QUERY_VALUE, key.receive()))) {
        return error;
    }
    // Opened as itself, a link shows the value that names its target.
    DWORD type = REG_NONE;
    if (RegQueryValueExW(key.get(), L"SymbolicLinkValue", nullptr, &type, nullptr, nullptr) ==
            ERROR_SUCCESS &&
        type == REG_LINK) {
        key.reset();
        return std::make_error_code(std::errc::too_many_symbolic_link_levels);
    }
    return {};
}

std::error_code openKeyNotLink(const RegistryPath& path, REGSAM access, RegistryView view,
                               RegistryKey& key) {
    return openKeyNotLink(rootKey(path.root), std::wstring(path.key), access | viewAccess(view),
                          key);
}

std::error_code createKeyNotLink(const RegistryPath& path, REGSAM access, RegistryView view,
                                 RegistryKey& key) {
    const auto error = openKeyNotLink(path, access, view, key);
    return isNotFound(error) ? createKey(path, access, view, key) : error;
}

std::error_code createKey(const RegistryPath& path, REGSAM access, RegistryView view,
                          RegistryKey& key) {
    const std::wstring keyName(path.key);
    return errorFromCode(RegCreateKeyExW(rootKey(path.root), keyName.c_str(), 0, nullptr,
                                         REG_OPTION_NON_VOLATILE, access | viewAccess(view),
                                         nullptr, key.receive(), nullptr));
}

}  // namespace tovask::win32
