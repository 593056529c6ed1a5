#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PlatformOps.h"
#include "repair/backup/files/FileBackup.h"
#include "repair/preferences/ProfilePreferences.h"
#include "repair/report/FailureLog.h"
#include "repair/report/FindingKindRow.h"

namespace tovask {

// The browsers of these profiles that run now, each once: while one runs it
// writes its profiles back from memory, and undoes their repair.
std::vector<const ProfileBrowser*> openBrowsers(PlatformOps& platform,
                                                std::span<const ProfileFinding> findings);

// Puts back each profile the findings are in, unless its browser runs or is
// one of `keptOpen`: the members or statements that set what was found go
// from each of its files, every other byte kept, once the file is in the
// backups; an unpacked extension's files go to the backups too. Tells each
// finding's outcome; gives the profiles that could not be put back.
std::vector<BrowserProfile> putProfilesBack(PlatformOps& platform,
                                            std::span<const ProfileFinding> findings,
                                            std::span<const ProfileBrowser* const> keptOpen,
                                            FileBackup& files, const OutcomeReport& report,
                                            FailureLog& failures);

// Whether the file backups may name the file: a profile's preferences, or a
// file of an extension folder in a user's application data.
bool isProfileFilePath(std::wstring_view path);

}  // namespace tovask
