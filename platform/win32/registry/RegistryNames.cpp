#include "platform/win32/registry/RegistryNames.h"

#include <cstdint>
#include <utility>

#include "platform/win32/SystemError.h"

namespace tovask::win32 {
namespace {

Result<SubkeyListing> namesUpTo(HKEY key, DWORD longestName, std::size_t mostNames) {
    SubkeyListing listing;
    std::wstring buffer(longestName + 1, L'\0');
    for (DWORD index = 0;;) {
        auto length = static_cast<DWORD>(buffer.size());
        const LSTATUS status =
            RegEnumKeyExW(key, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) {
            return listing;
        }
        // A longer name arrived since the length was taken.
        if (status == ERROR_MORE_DATA) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (const auto error = errorFromCode(static_cast<DWORD>(status))) {
            return error;
        }
        if (listing.names.size() == mostNames) {
            listing.truncated = true;
            return listing;
        }
        listing.names.emplace_back(buffer.data(), length);
        ++index;
    }
}

}  // namespace

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
    auto listing = namesUpTo(key, longestName, SIZE_MAX);
    if (!listing.ok()) {
        return listing.error();
    }
    return std::move(listing).value().names;
}

Result<SubkeyListing> subkeyNamesOf(HKEY key, std::size_t mostNames) {
    DWORD longest = 0;
    if (const auto error =
            errorFromCode(RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, &longest,
                                           nullptr, nullptr, nullptr, nullptr, nullptr, nullptr))) {
        return error;
    }
    return namesUpTo(key, longest, mostNames);
}

}  // namespace tovask::win32
