#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PlatformOps.h"
#include "repair/paths/ShortcutFolders.h"
#include "repair/report/FailureLog.h"
#include "repair/report/Finding.h"

namespace tovask {

// What one profile's preferences set that a hijacker sets: for Chromium's
// `Preferences` and `Secure Preferences` (JSON) a home page, start-up pages
// or a default search provider on a web address that is not one of the
// known search engines', and extensions loaded unpacked from one of the
// folders given; for Firefox's `prefs.js` and `user.js` the home page and
// the search addresses its old preferences hold. The descriptions of what
// was found, in the file's order; an error text when the file cannot be read
// as its browser reads it.
struct FoundPreference {
    FindingSubject subject;
    std::wstring entry;  // the preference, or the page or extension of a list
    std::wstring text;
    std::wstring value{};  // what it sets, as its title shows it

    bool operator==(const FoundPreference&) const = default;
};
struct PreferenceReading {
    std::vector<FoundPreference> found;
    std::wstring_view error;
};
PreferenceReading readChromiumPreferences(std::string json,
                                          std::span<const std::wstring> writableFolders);
PreferenceReading readFirefoxPreferences(std::string_view prefs);

// Every covered user's Chromium profiles (Chrome, Edge, Brave, Chromium) and
// Firefox profiles, each finding report only, grouped by browser and
// profile. A file is read up to 32 MiB and never written; a larger or
// unreadable one is a failure and the others go on. Only folders on a disk
// of this machine are opened.
std::vector<Finding> findProfilePreferences(PlatformOps& platform,
                                            std::span<const std::wstring> userHives,
                                            UserFoldersOfThisRun& userFolders,
                                            FailureLog& failures);

}  // namespace tovask
