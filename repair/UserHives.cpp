#include "repair/UserHives.h"

#include "platform/RegistryEncoding.h"
#include "platform/RegistryPath.h"
#include "platform/TextCompare.h"

namespace tovask {
namespace {

constexpr std::wstring_view kTemporaryHivePrefix = L"Tovask_";

std::optional<std::wstring> profileFolder(const RegistryKeyContent& profile) {
    for (const auto& value : profile.values) {
        if (equalsIgnoringCase(value.name, L"ProfileImagePath")) {
            return textOf(value.value);
        }
    }
    return std::nullopt;
}

}  // namespace

bool isUserAccountSid(std::wstring_view name) {
    constexpr std::wstring_view kAccountPrefix = L"S-1-5-21-";
    if (!name.starts_with(kAccountPrefix)) {
        return false;
    }
    // The rest: decimal numbers joined by single dashes.
    bool afterDigit = false;
    for (const wchar_t c : name.substr(kAccountPrefix.size())) {
        if (c >= L'0' && c <= L'9') {
            afterDigit = true;
        } else if (c == L'-' && afterDigit) {
            afterDigit = false;
        } else {
            return false;
        }
    }
    return afterDigit;
}

UserHives::UserHives(PlatformOps& platform, FailureLog& failures,
                     std::optional<std::set<std::wstring>> onlyThese)
    : platform_(platform) {
    const auto wanted = [&](const std::wstring& sid) {
        return isUserAccountSid(sid) && (!onlyThese || onlyThese->contains(foldedCase(sid)));
    };
    const auto loaded = platform_.LoadedUserHives();
    if (!loaded.ok()) {
        failures.add(L"HKU", loaded.error());
        return;
    }
    for (const auto& sid : loaded.value()) {
        if (wanted(sid)) {
            loaded_.insert(foldedCase(sid));
            hives_.push_back({sid, L"HKU\\" + sid, false});
        }
    }
    const auto view =
        platform_.HasTwoRegistryViews() ? RegistryView::Bits64 : RegistryView::Default;
    const auto profiles = platform_.RegReadTree(kProfileListKey, view);
    if (!profiles.ok()) {
        failures.add(kProfileListKey, profiles.error());
        return;
    }
    for (const auto& profile : profiles.value().subkeys) {
        if (!wanted(profile.name) || loaded_.contains(foldedCase(profile.name))) {
            continue;
        }
        const auto folder = profileFolder(profile);
        addProfile(profile.name, folder.value_or(std::wstring(kProfileListKey) + profile.name),
                   failures);
    }
}

void UserHives::addProfile(const std::wstring& sid, const std::wstring& folder,
                           FailureLog& failures) {
    const auto expanded = platform_.ExpandEnvironment(folder);
    if (!expanded.ok()) {
        failures.add(folder, expanded.error());
        return;
    }
    const auto mountName = std::wstring(kTemporaryHivePrefix) + sid;
    if (const auto error = platform_.LoadUserHive(mountName, expanded.value() + L"\\NTUSER.DAT")) {
        failures.add(expanded.value(), error);
        return;
    }
    hives_.push_back({sid, L"HKU\\" + mountName, true});
}

UserHives::~UserHives() {
    for (const auto& hive : hives_) {
        if (hive.loadedHere) {
            platform_.UnloadUserHive(std::wstring_view(hive.hive).substr(4));
        }
    }
}

std::vector<std::wstring> UserHives::hivePaths() const {
    std::vector<std::wstring> paths;
    for (const auto& hive : hives_) {
        paths.push_back(hive.hive);
    }
    return paths;
}

}  // namespace tovask
