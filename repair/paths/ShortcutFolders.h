#pragma once

#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PlatformOps.h"
#include "repair/report/FailureLog.h"

namespace tovask {

// Where a folder of shortcuts shows them to the person.
enum class ShortcutPlace { Desktop, StartMenu, Taskbar, Startup };

struct ShortcutFolder {
    std::wstring path;
    int depth = 0;  // how many levels of subfolders are listed too
    // Every user's (the public Desktop, the common Start menu), where an
    // organisation may place shortcuts of its own.
    bool shared = false;
    // Not on a disk of this machine (a share, say): listed as a finding,
    // never opened.
    bool refused = false;
    ShortcutPlace place = ShortcutPlace::Desktop;

    bool operator==(const ShortcutFolder&) const = default;
};

// A user's own folders as that user's shell names them: the shell folders in
// the user's hive, the user's own %USERPROFILE% and %APPDATA% put in, then the
// machine's references expanded; never the running user's environment. Made
// by the run's UserFoldersOfThisRun only.
class UserFolders {
  public:
    // The shell folder of this name; the fallback when the hive names none,
    // or names one that is not a full path. Each name is read from the hive
    // once.
    std::wstring folder(std::wstring_view name, std::wstring fallback);
    // The text with the user's references, then the machine's, expanded;
    // none when the machine cannot expand it.
    std::optional<std::wstring> expanded(std::wstring_view text);
    const std::wstring& profile() const { return profile_; }
    const std::wstring& appData() const { return appData_; }

  private:
    friend class UserFoldersOfThisRun;

    // None for a user without a profile folder, and, with a failure, for one
    // whose profile folder cannot be told.
    static std::optional<UserFolders> of(PlatformOps& platform, std::wstring_view hive,
                                         FailureLog& failures);
    UserFolders(PlatformOps& platform, std::wstring_view hive, std::wstring profile,
                FailureLog& failures);

    PlatformOps& platform_;
    std::wstring hive_;
    std::wstring profile_;
    FailureLog& failures_;
    std::map<std::wstring, std::optional<std::wstring>, std::less<>> shellFolders_;
    std::wstring appData_;
};

// The SID of the user whose hive this is ("HKCU", "HKU\<SID>" or a hive the
// run loaded): the program's own user's for HKCU.
Result<std::wstring> sidOfHive(PlatformOps& platform, std::wstring_view hive);

// Each user's folders, told once a run and shared by every kind that looks
// in them, so that a user whose folders cannot be told is one failure of the
// run. Made by the run for its own platform and failure log, and gone with
// them.
class UserFoldersOfThisRun {
  public:
    UserFoldersOfThisRun(PlatformOps& platform, FailureLog& failures)
        : platform_(platform), failures_(failures) {}
    UserFoldersOfThisRun(const UserFoldersOfThisRun&) = delete;
    UserFoldersOfThisRun& operator=(const UserFoldersOfThisRun&) = delete;

    // The folders of the user whose hive this is ("HKCU", "HKU\<SID>" or a
    // hive the run loaded); none when they cannot be told.
    UserFolders* of(std::wstring_view hive);
    // The folders a standard user can write (userWritableFolders), read the
    // first time a kind asks: the profile list behind them is read once a run.
    const std::vector<std::wstring>& writable();

  private:
    PlatformOps& platform_;
    FailureLog& failures_;
    std::map<std::wstring, std::optional<UserFolders>, std::less<>> byHive_;
    std::optional<std::vector<std::wstring>> writable_;
};

// Where the shortcuts people click are, once each: for every user whose hive
// is given ("HKCU", "HKU\<SID>" or a hive the run loaded), the Desktop, the
// Start menu's programs with their subfolders, and Quick Launch with the
// taskbar's and the Start menu's pinned shortcuts; then the public Desktop
// and the common Start menu's programs. A user's folders come from the shell
// folders in that user's own hive, expanded against the user's profile folder
// from ProfileList, never against the running user's environment. A user
// whose folders cannot be told is a failure; the others go on. A folder is
// refused unless it lies on a disk fixed in this machine.
std::vector<ShortcutFolder> shortcutFolders(PlatformOps& platform,
                                            std::span<const std::wstring> userHives,
                                            UserFoldersOfThisRun& userFolders,
                                            FailureLog& failures);

// The Startup folders whose programs Windows starts at logon, once each: every
// given user's, as that user's shell names it, then the common one. Refused as
// shortcutFolders refuses.
std::vector<ShortcutFolder> startupFolders(PlatformOps& platform,
                                           std::span<const std::wstring> userHives,
                                           UserFoldersOfThisRun& userFolders, FailureLog& failures);

// A shortcut file, by its name: what the file backups of shortcuts may name,
// and what a folder of shortcuts lists.
inline constexpr std::wstring_view kShortcutExtension = L".lnk";
bool isShortcutPath(std::wstring_view path);

}  // namespace tovask
