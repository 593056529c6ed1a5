#include "repair/backup/HiveNames.h"

#include "text/TextCompare.h"

namespace tovask {
namespace {

constexpr std::wstring_view kUsersRoot = L"HKEY_USERS\\";
constexpr std::wstring_view kCurrentUserRoot = L"HKEY_CURRENT_USER";

std::wstring hiveNameInFile(std::wstring_view hive) {
    // "HKU\name" in the platform's terms is "HKEY_USERS\name" in the file's.
    return std::wstring(kUsersRoot) + std::wstring(hive.substr(hive.find(L'\\') + 1));
}

void rename(std::wstring& key, std::wstring_view from, std::wstring_view to) {
    const bool named = key.size() >= from.size() &&
                       equalsIgnoringCase(std::wstring_view(key).substr(0, from.size()), from) &&
                       (key.size() == from.size() || key[from.size()] == L'\\');
    if (named) {
        key = std::wstring(to) + key.substr(from.size());
    }
}

void rename(std::vector<RegistryFileSection>& sections, std::wstring_view from,
            std::wstring_view to) {
    for (auto& section : sections) {
        rename(section.key, from, to);
    }
}

}  // namespace

void nameHivesBySid(std::vector<RegistryFileSection>& sections, std::span<const UserHive> hives) {
    for (const auto& hive : hives) {
        if (hive.loadedHere) {
            rename(sections, hiveNameInFile(hive.hive), std::wstring(kUsersRoot) + hive.sid);
        }
    }
}

void nameHivesBySid(std::vector<std::wstring>& keys, std::span<const UserHive> hives) {
    for (auto& key : keys) {
        for (const auto& hive : hives) {
            if (hive.loadedHere) {
                rename(key, hiveNameInFile(hive.hive), std::wstring(kUsersRoot) + hive.sid);
            }
        }
    }
}

void nameCurrentUserBySid(std::vector<RegistryFileSection>& sections, std::wstring_view sid) {
    if (isUserAccountSid(sid)) {
        rename(sections, kCurrentUserRoot, std::wstring(kUsersRoot) + std::wstring(sid));
    }
}

void nameHivesAsLoaded(std::vector<RegistryFileSection>& sections,
                       std::span<const UserHive> hives) {
    for (const auto& hive : hives) {
        if (hive.loadedHere) {
            rename(sections, std::wstring(kUsersRoot) + hive.sid, hiveNameInFile(hive.hive));
        }
    }
}

void nameCurrentUserAsCurrent(std::vector<RegistryFileSection>& sections, std::wstring_view sid) {
    if (isUserAccountSid(sid)) {
        rename(sections, std::wstring(kUsersRoot) + std::wstring(sid), kCurrentUserRoot);
    }
}

std::set<std::wstring> usersNamedIn(std::span<const RegistryFileSection> sections) {
    std::set<std::wstring> users;
    for (const auto& section : sections) {
        const std::wstring_view key = section.key;
        if (key.size() > kUsersRoot.size() &&
            equalsIgnoringCase(key.substr(0, kUsersRoot.size()), kUsersRoot)) {
            const auto rest = key.substr(kUsersRoot.size());
            users.insert(foldedCase(rest.substr(0, rest.find(L'\\'))));
        }
    }
    return users;
}

}  // namespace tovask
