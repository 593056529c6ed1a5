#include "repair/users/UserHives.h"

#include <algorithm>
#include <chrono>

#include "text/RegistryEncoding.h"
#include "text/RegistryPath.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

// A hive stays loaded while any program still has one of its keys open, as a
// search indexer or an antivirus may for a moment.
constexpr int kUnloadAttempts = 5;
constexpr std::chrono::milliseconds kUnloadPause{200};

bool isLeftOverMount(std::wstring_view name) {
    return name.size() > kTemporaryHivePrefix.size() &&
           equalsIgnoringCase(name.substr(0, kTemporaryHivePrefix.size()), kTemporaryHivePrefix);
}

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
    : platform_(platform), failures_(failures) {
    const auto wanted = [&](const std::wstring& sid) {
        return isUserAccountSid(sid) && (!onlyThese || onlyThese->contains(foldedCase(sid)));
    };
    const auto loaded = platform_.LoadedUserHives();
    if (!loaded.ok()) {
        failures.add(L"HKU", loaded.error());
        return;
    }
    std::set<std::wstring> alreadyLoaded;  // folded SIDs
    for (const auto& name : loaded.value()) {
        if (isLeftOverMount(name)) {
            unload(name);
        } else if (wanted(name)) {
            alreadyLoaded.insert(foldedCase(name));
            hives_.push_back({name, L"HKU\\" + name, false});
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
        if (!wanted(profile.name) || alreadyLoaded.contains(foldedCase(profile.name))) {
            continue;
        }
        const auto folder = profileFolder(profile);
        addProfile(profile.name, folder.value_or(std::wstring(kProfileListKey) + profile.name));
    }
}

void UserHives::addProfile(const std::wstring& sid, const std::wstring& folder) {
    const auto expanded = platform_.ExpandEnvironment(folder);
    if (!expanded.ok()) {
        failures_.add(folder, expanded.error());
        return;
    }
    const auto mountName = std::wstring(kTemporaryHivePrefix) + sid;
    if (const auto error = platform_.LoadUserHive(mountName, expanded.value() + L"\\NTUSER.DAT")) {
        failures_.add(expanded.value(), error);
        return;
    }
    hives_.push_back({sid, L"HKU\\" + mountName, true});
}

UserHives::~UserHives() {
    for (const auto& hive : hives_) {
        if (hive.loadedHere) {
            unload(std::wstring_view(hive.hive).substr(4));
        }
    }
}

void UserHives::unload(std::wstring_view mountName) {
    std::error_code error;
    for (int attempt = 0; attempt < kUnloadAttempts; ++attempt) {
        if (attempt > 0) {
            platform_.Pause(kUnloadPause);
        }
        error = platform_.UnloadUserHive(mountName);
        if (!error) {
            return;
        }
    }
    failures_.add(L"HKU\\" + std::wstring(mountName), error);
}

std::vector<std::wstring> UserHives::hivePaths() const {
    std::vector<std::wstring> paths;
    for (const auto& hive : hives_) {
        paths.push_back(hive.hive);
    }
    return paths;
}

std::wstring desktopUserHive(PlatformOps& platform) {
    const auto desktopUser = platform.DesktopUserSid();
    if (!desktopUser.ok()) {
        return L"HKCU";
    }
    const auto programUser = platform.ProgramUserSid();
    if (!programUser.ok() || equalsIgnoringCase(programUser.value(), desktopUser.value())) {
        return L"HKCU";
    }
    return L"HKU\\" + desktopUser.value();
}

}  // namespace tovask
