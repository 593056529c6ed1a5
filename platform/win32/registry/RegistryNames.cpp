#include "platform/win32/registry/RegistryNames.h"

#include "platform/win32/SystemError.h"

namespace tovask::win32 {

Result<std::vector<std::wstring>> subkeyNamesOf(HKEY key) {
    DWORD longest = 0;
    if (const auto error =
            errorFromCode(RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, &longest,
                                           nullptr, nullptr, nullptr, nullptr, nullptr, nullptr))) {
        return error;
    }
    return subkeyNamesOf(key, longest);
}

Result<std::vector<std::wstring>> subkeyNamesOf(HKEY key, DWORD longestName) {
    std::vector<std::wstring> names;
    std::wstring buffer(longestName + 1, L'\0');
    for (DWORD index = 0;;) {
        auto length = static_cast<DWORD>(buffer.size());
        const LSTATUS status =
            RegEnumKeyExW(key, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) {
            return names;
        }
        // A longer name arrived since the length was taken.
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

}  // namespace tovask::win32
