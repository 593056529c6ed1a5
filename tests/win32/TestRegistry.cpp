#include "tests/win32/TestRegistry.h"

#include <winternl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/win32/Handles.h"

// Deletes the key the handle names: the only way to remove a link itself.
extern "C" NTSTATUS NTAPI NtDeleteKey(HANDLE key);

namespace tovask::testsupport {

using win32::RegistryKey;

StoredValue stringValue(std::wstring text) {
    return {REG_SZ, std::move(text), 0};
}

StoredValue dwordValue(std::uint32_t number) {
    return {REG_DWORD, {}, number};
}

void PrintTo(const StoredValue& value, std::ostream* out) {
    *out << "type " << value.type << ", number " << value.number << ", text \"";
    for (const wchar_t c : value.text) {
        *out << (c < 128 ? static_cast<char>(c) : '?');
    }
    *out << "\"";
}

std::optional<StoredValue> readValue(HKEY root, const std::wstring& key, const std::wstring& name,
                                     REGSAM view) {
    RegistryKey opened;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE | view, opened.receive()) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(opened.get(), name.c_str(), nullptr, &type, nullptr, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::vector<BYTE> data(size);
    if (RegQueryValueExW(opened.get(), name.c_str(), nullptr, &type, data.data(), &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    StoredValue value{type, {}, 0};
    if (type == REG_DWORD && size == sizeof(DWORD)) {
        std::memcpy(&value.number, data.data(), sizeof(DWORD));
    } else {
        value.text.assign(reinterpret_cast<const wchar_t*>(data.data()), size / sizeof(wchar_t));
        if (value.text.ends_with(L'\0')) {
            value.text.pop_back();
        }
    }
    return value;
}

bool keyExists(HKEY root, const std::wstring& key, REGSAM view) {
    RegistryKey opened;
    return RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE | view, opened.receive()) ==
           ERROR_SUCCESS;
}

void writeStringDirectly(HKEY root, const std::wstring& key, const std::wstring& name,
                         const std::wstring& text, REGSAM view) {
    RegistryKey created;
    ASSERT_EQ(RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE | view, nullptr,
                              created.receive(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(created.get(), name.c_str(), 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
}

void removeKeyEverywhere(HKEY root, const std::wstring& key) {
    for (const REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        RegistryKey opened;
        if (RegOpenKeyExW(root, key.c_str(), 0, KEY_ALL_ACCESS | view, opened.receive()) ==
            ERROR_SUCCESS) {
            RegDeleteTreeW(opened.get(), nullptr);
            opened.reset();
            RegDeleteKeyExW(root, key.c_str(), view, 0);
        }
    }
}

void makeLink(const std::wstring& key, const std::wstring& target) {
    RegistryKey link;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr,
                              REG_OPTION_VOLATILE | REG_OPTION_CREATE_LINK,
                              KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr, link.receive(), nullptr),
              ERROR_SUCCESS);
    // The system reads the target as it is: a 32-bit program's view of the
    // machine's software keys is a key of its own on a 64-bit Windows.
    BOOL redirected = FALSE;
    IsWow64Process(GetCurrentProcess(), &redirected);
    const std::wstring software = L"Software\\";
    const auto path =
        L"\\Registry\\Machine\\" +
        (redirected ? software + L"Wow6432Node\\" + target.substr(software.size()) : target);
    ASSERT_EQ(RegSetValueExW(link.get(), L"SymbolicLinkValue", 0, REG_LINK,
                             reinterpret_cast<const BYTE*>(path.data()),
                             static_cast<DWORD>(path.size() * sizeof(wchar_t))),
              ERROR_SUCCESS);
}

void removeLink(const std::wstring& key) {
    RegistryKey link;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), REG_OPTION_OPEN_LINK, DELETE,
                      link.receive()) == ERROR_SUCCESS) {
        NtDeleteKey(link.get());
    }
}

}  // namespace tovask::testsupport
