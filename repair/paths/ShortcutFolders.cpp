#include "repair/paths/ShortcutFolders.h"

#include <array>
#include <map>
#include <optional>

#include "repair/paths/WritableFolders.h"
#include "repair/users/UserHives.h"
#include "repair/users/UserPaths.h"
#include "text/RegistryEncoding.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

constexpr std::wstring_view kExplorerKey =
    L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";
// The first holds the folders with environment references, the second as the
// shell last expanded them; either may be missing.
constexpr std::array<std::wstring_view, 2> kShellFolderKeys = {L"User Shell Folders\\",
                                                               L"Shell Folders\\"};
// Deep enough for a program's folder inside a vendor's folder, shallow enough
// that a hostile tree cannot stall the run.
constexpr int kStartMenuDepth = 4;
constexpr std::wstring_view kQuickLaunch = L"\\Microsoft\\Internet Explorer\\Quick Launch";
struct QuickLaunchFolder {
    std::wstring_view below;
    ShortcutPlace place;
};
constexpr std::array kQuickLaunchFolders = {
    QuickLaunchFolder{L"", ShortcutPlace::Taskbar},
    QuickLaunchFolder{L"\\User Pinned\\TaskBar", ShortcutPlace::Taskbar},
    QuickLaunchFolder{L"\\User Pinned\\StartMenu", ShortcutPlace::StartMenu}};

RegistryView machineView(PlatformOps& platform) {
    return platform.HasTwoRegistryViews() ? RegistryView::Bits64 : RegistryView::Default;
}

std::optional<std::wstring> shellFolder(PlatformOps& platform, std::wstring_view root,
                                        std::wstring_view name, FailureLog& failures) {
    for (const auto key : kShellFolderKeys) {
        const auto path = std::wstring(root) + std::wstring(kExplorerKey) + std::wstring(key) +
                          std::wstring(name);
        const auto value = platform.RegReadValue(path, machineView(platform));
        if (!value.ok()) {
            if (!isNotFound(value.error())) {
                failures.add(path, value.error());
            }
        } else if (auto text = textOf(value.value()); text && !text->empty()) {
            return text;
        }
    }
    return std::nullopt;
}

std::wstring replacedIgnoringCase(std::wstring text, std::wstring_view name, std::wstring_view by) {
    const auto folded = foldedCase(name);
    for (auto at = foldedCase(text).find(folded); at != std::wstring::npos;
         at = foldedCase(text).find(folded, at + by.size())) {
        text.replace(at, name.size(), by);
    }
    return text;
}

// A drive's or a network share's folder: anything else would be taken as
// relative to wherever the program runs.
bool isAbsolute(std::wstring_view path) {
    return (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') || path.starts_with(L"\\\\");
}

// Each folder once; one that is also a machine-wide folder counts as shared,
// whoever named it first.
class FolderList {
  public:
    void add(std::wstring path, int depth, bool shared, ShortcutPlace place) {
        while (path.size() > 3 && path.ends_with(L'\\')) {
            path.pop_back();
        }
        const auto [seen, added] = seen_.try_emplace(foldedCase(path), folders_.size());
        if (added) {
            folders_.push_back({std::move(path), depth, shared, false, place});
        } else {
            folders_[seen->second].shared = folders_[seen->second].shared || shared;
        }
    }
    // Each refused unless it lies on a disk fixed in this machine.
    std::vector<ShortcutFolder> take(FileOps& platform) {
        for (auto& folder : folders_) {
            folder.refused = !mayOpenUserPath(platform, folder.path);
        }
        return std::move(folders_);
    }

  private:
    std::vector<ShortcutFolder> folders_;
    std::map<std::wstring, std::size_t> seen_;
};

void addUserFolders(UserFolders* folders, FolderList& list) {
    if (folders == nullptr) {
        return;
    }
    const auto& profile = folders->profile();
    list.add(folders->folder(L"Desktop", profile + L"\\Desktop"), 0, false, ShortcutPlace::Desktop);
    list.add(folders->folder(L"Programs",
                             folders->appData() + L"\\Microsoft\\Windows\\Start Menu\\Programs"),
             kStartMenuDepth, false, ShortcutPlace::StartMenu);
    for (const auto& pinned : kQuickLaunchFolders) {
        list.add(folders->appData() + std::wstring(kQuickLaunch) + std::wstring(pinned.below), 0,
                 false, pinned.place);
    }
}

void addMachineFolder(PlatformOps& platform, std::wstring_view name, int depth, ShortcutPlace place,
                      FolderList& list, FailureLog& failures) {
    const auto named = shellFolder(platform, L"HKLM", name, failures);
    if (!named) {
        return;
    }
    const auto expanded = platform.ExpandEnvironment(*named);
    if (expanded.ok() && isAbsolute(expanded.value())) {
        list.add(expanded.value(), depth, true, place);
    }
}

}  // namespace

Result<std::wstring> sidOfHive(PlatformOps& platform, std::wstring_view hive) {
    constexpr std::wstring_view kUsersRoot = L"HKU\\";
    if (!hive.starts_with(kUsersRoot)) {
        return platform.ProgramUserSid();
    }
    auto name = hive.substr(kUsersRoot.size());
    if (equalsIgnoringCase(name.substr(0, kTemporaryHivePrefix.size()), kTemporaryHivePrefix)) {
        name.remove_prefix(kTemporaryHivePrefix.size());
    }
    return std::wstring(name);
}

std::optional<UserFolders> UserFolders::of(PlatformOps& platform, std::wstring_view hive,
                                           FailureLog& failures) {
    const auto sid = sidOfHive(platform, hive);
    if (!sid.ok()) {
        failures.add(hive, sid.error());
        return std::nullopt;
    }
    const auto profileValue = std::wstring(kProfileListKey) + sid.value() + L"\\ProfileImagePath";
    const auto stored = platform.RegReadValue(profileValue, machineView(platform));
    if (!stored.ok()) {
        if (!isNotFound(stored.error())) {
            failures.add(profileValue, stored.error());
        }
        return std::nullopt;
    }
    const auto text = textOf(stored.value());
    const auto profile = platform.ExpandEnvironment(text.value_or(L""));
    if (!profile.ok() || !isAbsolute(profile.value())) {
        failures.add(profileValue, profile.ok() ? std::make_error_code(std::errc::invalid_argument)
                                                : profile.error());
        return std::nullopt;
    }
    return UserFolders(platform, hive, profile.value(), failures);
}

UserFolders::UserFolders(PlatformOps& platform, std::wstring_view hive, std::wstring profile,
                         FailureLog& failures)
    : platform_(platform), hive_(hive), profile_(std::move(profile)), failures_(failures) {
    appData_ = folder(L"AppData", profile_ + L"\\AppData\\Roaming");
}

std::wstring UserFolders::folder(std::wstring_view name, std::wstring fallback) {
    auto known = shellFolders_.find(name);
    if (known == shellFolders_.end()) {
        known = shellFolders_
                    .emplace(std::wstring(name), shellFolder(platform_, hive_, name, failures_))
                    .first;
    }
    if (const auto& named = known->second) {
        if (auto path = expanded(*named); path && isAbsolute(*path)) {
            return std::move(*path);
        }
    }
    return fallback;
}

std::optional<std::wstring> UserFolders::expanded(std::wstring_view text) {
    auto own = replacedIgnoringCase(std::wstring(text), L"%USERPROFILE%", profile_);
    if (!appData_.empty()) {
        own = replacedIgnoringCase(own, L"%APPDATA%", appData_);
    }
    const auto machine = platform_.ExpandEnvironment(own);
    return machine.ok() ? std::optional(machine.value()) : std::nullopt;
}

UserFolders* UserFoldersOfThisRun::of(std::wstring_view hive) {
    auto known = byHive_.find(hive);
    if (known == byHive_.end()) {
        known =
            byHive_.emplace(std::wstring(hive), UserFolders::of(platform_, hive, failures_)).first;
    }
    return known->second ? &*known->second : nullptr;
}

const std::vector<std::wstring>& UserFoldersOfThisRun::writable() {
    if (!writable_) {
        writable_ = userWritableFolders(platform_, failures_);
    }
    return *writable_;
}

std::vector<ShortcutFolder> shortcutFolders(PlatformOps& platform,
                                            std::span<const std::wstring> userHives,
                                            UserFoldersOfThisRun& userFolders,
                                            FailureLog& failures) {
    FolderList list;
    for (const auto& hive : userHives) {
        addUserFolders(userFolders.of(hive), list);
    }
    addMachineFolder(platform, L"Common Desktop", 0, ShortcutPlace::Desktop, list, failures);
    addMachineFolder(platform, L"Common Programs", kStartMenuDepth, ShortcutPlace::StartMenu, list,
                     failures);
    return list.take(platform);
}

std::vector<ShortcutFolder> startupFolders(PlatformOps& platform,
                                           std::span<const std::wstring> userHives,
                                           UserFoldersOfThisRun& userFolders,
                                           FailureLog& failures) {
    FolderList list;
    for (const auto& hive : userHives) {
        if (auto* folders = userFolders.of(hive)) {
            list.add(folders->folder(L"Startup",
                                     folders->appData() +
                                         L"\\Microsoft\\Windows\\Start Menu\\Programs\\Startup"),
                     0, false, ShortcutPlace::Startup);
        }
    }
    addMachineFolder(platform, L"Common Startup", 0, ShortcutPlace::Startup, list, failures);
    return list.take(platform);
}

bool isShortcutPath(std::wstring_view path) {
    return path.size() > kShortcutExtension.size() &&
           equalsIgnoringCase(path.substr(path.size() - kShortcutExtension.size()),
                              kShortcutExtension);
}

}  // namespace tovask
