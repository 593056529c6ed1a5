#include "platform/win32/registry/RegistryNames.h"

#include "platform/win32/SystemError.h"

namespace tovask::win32 {
namespace {

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
// registry has no more names, starting with a buffer for the longest name of
// the kind. The lengths are in characters, without the null.
template <typename Enumerate>
Result<std::vector<std::wstring>> namesOf(HKEY key, DWORD NameLengths::*longestName,
                                          Enumerate enumerate) {
    const auto lengths = nameLengthsOf(key);
    if (!lengths.ok()) {
        return lengths.error();
    }
    std::vector<std::wstring> names;
    std::wstring buffer(lengths.value().*longestName + 1, L'\0');
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

}  // namespace

Result<std::vector<std::wstring>> valueNamesOf(HKEY key) {
    return namesOf(
        key, &NameLengths::longestValueName, [key](DWORD index, wchar_t* name, DWORD* length) {
            return RegEnumValueW(key, index, name, length, nullptr, nullptr, nullptr, nullptr);
        });
}

Result<std::vector<std::wstring>> subkeyNamesOf(HKEY key) {
    return namesOf(
        key, &NameLengths::longestSubkeyName, [key](DWORD index, wchar_t* name, DWORD* length) {
            return RegEnumKeyExW(key, index, name, length, nullptr, nullptr, nullptr, nullptr);
        });
}

}  // namespace tovask::win32
