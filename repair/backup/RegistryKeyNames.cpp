#include "repair/backup/RegistryKeyNames.h"

#include <array>

#include "repair/users/UserHives.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

constexpr std::wstring_view kRedirectedViewKey = L"WOW6432Node";

struct RootNames {
    RegistryRoot root;
    std::wstring_view shortName;
    std::wstring_view fullName;
};

constexpr std::array<RootNames, 3> kRoots = {{
    {RegistryRoot::CurrentUser, L"HKCU", L"HKEY_CURRENT_USER"},
    {RegistryRoot::LocalMachine, L"HKLM", L"HKEY_LOCAL_MACHINE"},
    {RegistryRoot::Users, L"HKU", L"HKEY_USERS"},
}};

const RootNames& namesOf(RegistryRoot root) {
    for (const auto& names : kRoots) {
        if (names.root == root) {
            return names;
        }
    }
    return kRoots.front();
}

}  // namespace

std::wstring fileKeyName(RegistryRoot root, std::wstring_view key, RegistryView view) {
    std::wstring name(namesOf(root).fullName);
    if (view != RegistryView::Bits32) {
        return name.append(L"\\").append(key);
    }
    // The 32-bit copy of "Software\Rest" is "Software\WOW6432Node\Rest".
    const auto firstEnd = key.find(L'\\');
    name.append(L"\\").append(key.substr(0, firstEnd)).append(L"\\").append(kRedirectedViewKey);
    if (firstEnd != std::wstring_view::npos) {
        name.append(key.substr(firstEnd));
    }
    return name;
}

std::optional<ViewedKey> viewedKeyOf(std::wstring_view fileKey, bool hasTwoViews) {
    const auto rootEnd = fileKey.find(L'\\');
    if (rootEnd == std::wstring_view::npos || rootEnd + 1 == fileKey.size()) {
        return std::nullopt;
    }
    const auto rootName = fileKey.substr(0, rootEnd);
    const RootNames* names = nullptr;
    for (const auto& candidate : kRoots) {
        if (equalsIgnoringCase(candidate.fullName, rootName)) {
            names = &candidate;
        }
    }
    if (names == nullptr) {
        return std::nullopt;
    }
    std::wstring key(fileKey.substr(rootEnd + 1));
    if (names->root != RegistryRoot::LocalMachine || !hasTwoViews) {
        return ViewedKey{std::wstring(names->shortName) + L"\\" + key + L"\\",
                         RegistryView::Default};
    }
    RegistryView view = RegistryView::Bits64;
    const auto firstEnd = key.find(L'\\');
    if (firstEnd != std::wstring::npos) {
        const std::wstring_view afterFirst = std::wstring_view(key).substr(firstEnd + 1);
        const auto secondEnd = afterFirst.find(L'\\');
        if (equalsIgnoringCase(afterFirst.substr(0, secondEnd), kRedirectedViewKey)) {
            view = RegistryView::Bits32;
            key.erase(firstEnd, kRedirectedViewKey.size() + 1);
        }
    }
    return ViewedKey{std::wstring(names->shortName) + L"\\" + key + L"\\", view};
}

std::optional<SectionKey> valueSectionKey(const RegistryFileSection& section, bool hasTwoViews) {
    const auto viewed = viewedKeyOf(section.key, hasTwoViews);
    if (section.removesKey || !viewed) {
        return std::nullopt;
    }
    const auto parsed = parseRegistryPath(viewed->keyPath);
    if (!parsed.ok()) {
        return std::nullopt;
    }
    return SectionKey{parsed.value().root, std::wstring(parsed.value().key)};
}

std::optional<SectionKey> accountSectionKey(const RegistryFileSection& section, bool hasTwoViews) {
    auto sectionKey = valueSectionKey(section, hasTwoViews);
    if (!sectionKey || sectionKey->root != RegistryRoot::Users) {
        return sectionKey;
    }
    const auto slash = sectionKey->key.find(L'\\');
    if (slash == std::wstring::npos || !isUserAccountSid(sectionKey->key.substr(0, slash))) {
        return std::nullopt;
    }
    sectionKey->key.erase(0, slash + 1);
    return sectionKey;
}

}  // namespace tovask
