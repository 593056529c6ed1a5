#include "repair/startup/SystemFolders.h"

#include <algorithm>
#include <array>
#include <cwctype>
#include <span>

#include "repair/paths/LocalPaths.h"
#include "repair/policykeys/PolicyKeyContent.h"
#include "repair/users/UserHives.h"
#include "text/RegistryEncoding.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

// A folder below a base folder, and whether all below it is kept too.
struct KeptBelow {
    std::wstring_view below;
    bool withAllBelow;
};

constexpr std::array kBelowEachDrive = {
    KeptBelow{L"\\Windows", true},
    KeptBelow{L"\\Program Files", true},
    KeptBelow{L"\\Program Files (x86)", true},
    KeptBelow{L"\\ProgramData\\Microsoft", true},
    KeptBelow{L"\\ProgramData", false},
    KeptBelow{L"\\Users", false},
};

constexpr std::array kBelowEachProfile = {
    KeptBelow{L"", false},
    KeptBelow{L"\\AppData", false},
    KeptBelow{L"\\AppData\\Local", false},
    KeptBelow{L"\\AppData\\LocalLow", false},
    KeptBelow{L"\\AppData\\Roaming", false},
    KeptBelow{L"\\AppData\\Local\\Programs", false},
    KeptBelow{L"\\AppData\\Local\\Temp", false},
    KeptBelow{L"\\AppData\\Local\\Microsoft", true},
    KeptBelow{L"\\AppData\\Roaming\\Microsoft", true},
};

// "X:\name..." once normalised: a drive's root alone is "X:".
bool isBelowADrivesRoot(std::wstring_view path) {
    return path.size() > 3 && std::iswalpha(static_cast<wint_t>(path[0])) && path[1] == L':' &&
           path[2] == L'\\';
}

// Both folded and normalised.
bool liesIn(std::wstring_view path, std::wstring_view folder) {
    return path.starts_with(folder) &&
           (path.size() == folder.size() || path[folder.size()] == L'\\');
}

// The profile a path lies in below its drive's Users folder: "X:\USERS\NAME".
std::wstring_view profileBelowUsers(std::wstring_view path) {
    static const auto kUsers = foldedCase(L"\\Users\\");
    if (!isBelowADrivesRoot(path) || path.substr(2, kUsers.size()) != kUsers) {
        return {};
    }
    return path.substr(0, path.find(L'\\', 2 + kUsers.size()));
}

// Each row's folder below `base`, which is folded and normalised.
template <typename Kept>
void keepBelow(std::wstring_view base, std::span<const KeptBelow> rows, std::vector<Kept>& kept) {
    for (const auto& row : rows) {
        kept.push_back({std::wstring(base) + foldedCase(row.below), row.withAllBelow});
    }
}

// The folders ProfileList names, expanded.
std::vector<std::wstring> profileFolders(PlatformOps& platform, FailureLog& failures) {
    std::vector<std::wstring> folders;
    const auto view = platform.HasTwoRegistryViews() ? RegistryView::Bits64 : RegistryView::Default;
    const auto list = platform.RegReadTree(kProfileListKey, view);
    if (!list.ok()) {
        if (!isNotFound(list.error())) {
            failures.add(kProfileListKey, list.error());
        }
        return folders;
    }
    for (const auto& profile : list.value().subkeys) {
        const auto* value = findValue(profile, L"ProfileImagePath");
        const auto path = value == nullptr ? std::nullopt : textOf(value->value);
        if (!path) {
            continue;
        }
        const auto expanded = platform.ExpandEnvironment(*path);
        if (!expanded.ok()) {
            failures.add(*path, expanded.error());
        } else if (expanded.value().find(L'%') == std::wstring::npos) {
            // A name the system does not know stays unexpanded and names no folder.
            folders.push_back(expanded.value());
        }
    }
    return folders;
}

}  // namespace

SystemFolders::SystemFolders(std::wstring_view windowsFolder, std::vector<std::wstring> profiles,
                             bool is64Bit)
    : programFolders_{std::wstring(windowsFolder), is64Bit} {
    if (!windowsFolder.empty()) {
        kept_.push_back({comparablePath(windowsFolder), true});
    }
    for (const auto& profile : profiles) {
        keepBelow(comparablePath(profile), kBelowEachProfile, kept_);
    }
}

SystemFolders SystemFolders::of(PlatformOps& platform, FailureLog& failures) {
    const auto windows = platform.GetSpecialFolder(SpecialFolder::Windows);
    if (!windows.ok()) {
        failures.add(L"%SystemRoot%", windows.error());
    }
    return {windows.ok() ? std::wstring_view(windows.value()) : std::wstring_view{},
            profileFolders(platform, failures), platform.HasTwoRegistryViews()};
}

std::vector<SystemFolders::Kept> SystemFolders::keptFor(std::wstring_view path) const {
    auto kept = kept_;
    if (!isBelowADrivesRoot(path)) {
        return kept;
    }
    keepBelow(path.substr(0, 2), kBelowEachDrive, kept);
    if (const auto profile = profileBelowUsers(path); !profile.empty()) {
        keepBelow(profile, kBelowEachProfile, kept);
    }
    return kept;
}

bool SystemFolders::refusesFolder(std::wstring_view folder) const {
    const auto path = comparablePath(folder);
    if (!isBelowADrivesRoot(path) || path.find_first_of(L"~%") != std::wstring::npos) {
        return true;
    }
    return std::ranges::any_of(keptFor(path), [&](const Kept& kept) {
        return liesIn(kept.folder, path) || (kept.withAllBelow && liesIn(path, kept.folder));
    });
}

bool SystemFolders::keepsProgram(std::wstring_view program) const {
    const auto path = comparablePath(program);
    return std::ranges::any_of(keptFor(path), [&](const Kept& kept) {
        return kept.withAllBelow && liesIn(path, kept.folder);
    });
}

}  // namespace tovask
