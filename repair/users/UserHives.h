#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PlatformOps.h"
#include "repair/report/FailureLog.h"

namespace tovask {

inline constexpr std::wstring_view kProfileListKey =
    L"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\";

// A hive loaded by the run is mounted under this prefix and its user's SID.
inline constexpr std::wstring_view kTemporaryHivePrefix = L"Tovask_";

// A real account's SID ("S-1-5-21-..."): not a service account, not the
// "_Classes" hive of a user, nothing malformed. The repair acts only on these
// hives, and a backup may name no other.
bool isUserAccountSid(std::wstring_view name);

struct UserHive {
    std::wstring sid;
    std::wstring hive;  // where its rows go: "HKU\<SID>", or "HKU\<temporary name>"
    bool loadedHere = false;
};

// The hives of the users of the machine for one run: those Windows has loaded
// already, and the NTUSER.DAT of every other profile loaded under a temporary
// name. Each hive loaded here is unloaded again when this object goes, whatever
// happened in between; so is, at the start, any left loaded by an earlier run
// that ended abruptly. A hive Windows still has loaded when its user logs on
// gives that user a temporary profile, so a hive that will not unload is a
// failure. A profile whose hive cannot be loaded (in use, missing, damaged) is
// a failure naming its folder; the others go on. Used under the repair lock
// only, so that no other run loads or unloads hives meanwhile; the failure log
// must outlive this object.
class UserHives {
  public:
    // Every user of the machine, or only the users named.
    UserHives(PlatformOps& platform, FailureLog& failures,
              std::optional<std::set<std::wstring>> onlyThese = std::nullopt);
    UserHives(const UserHives&) = delete;
    UserHives& operator=(const UserHives&) = delete;
    ~UserHives();

    const std::vector<UserHive>& hives() const { return hives_; }
    std::vector<std::wstring> hivePaths() const;

  private:
    void addProfile(const std::wstring& sid, const std::wstring& folder);
    void unload(std::wstring_view mountName);

    PlatformOps& platform_;
    FailureLog& failures_;
    std::vector<UserHive> hives_;
};

// Where the rows for the current user go. A standard user who types an
// administrator's name at the elevation prompt runs the program as that
// administrator, whose HKCU is not the one the browser on this desktop uses:
// then the desktop user's own hive, "HKU\<SID>". "HKCU" when the desktop is
// the program's own user, and when either user cannot be told.
std::wstring desktopUserHive(PlatformOps& platform);

}  // namespace tovask
