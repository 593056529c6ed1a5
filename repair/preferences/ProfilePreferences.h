#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PlatformOps.h"
#include "repair/paths/ShortcutFolders.h"
#include "repair/preferences/ChromiumPreferences.h"
#include "repair/preferences/FirefoxPreferences.h"
#include "repair/preferences/ProfileBrowsers.h"
#include "repair/report/FailureLog.h"
#include "repair/report/Finding.h"

namespace tovask {

// The largest preferences file read: the browsers write tens of MiB.
inline constexpr std::size_t kPreferencesFileLimit = std::size_t{32} << 20;

// What one profile's preferences set that a hijacker sets: for Chromium's
// `Preferences` and `Secure Preferences` (JSON) a home page, start-up pages
// or a default search provider on a web address that is not one of the
// known search engines', extensions loaded unpacked from one of the folders
// given, and extensions whose ids are given; for Firefox's `prefs.js` and
// `user.js` the home page, the new-tab page, the search addresses of its
// older preferences and a proxy script on the Internet. In the file's order;
// an error text when the file cannot be read as its browser reads it.
struct FoundPreference {
    FindingSubject subject;
    std::wstring entry;  // the preference, or the page or extension of a list
    std::wstring text;
    std::wstring value{};  // what it sets, as its title shows it
    // What puts it back. In a Chromium profile, the members whose removal
    // from both its files leaves the browser its own default: the browser
    // reads a protected preference that is missing as cleared, and writes
    // its own integrity code for the default.
    std::vector<PreferencePath> members{};
    // In a Firefox profile, the statements that set it.
    std::vector<FirefoxTextPreference> statements{};
    // The folder an extension is loaded from, when the user can write it.
    std::wstring extensionFolder{};
};
struct PreferenceReading {
    std::vector<FoundPreference> found;
    std::wstring_view error;
};
PreferenceReading readChromiumPreferences(std::string json,
                                          std::span<const std::wstring> writableFolders,
                                          std::span<const std::wstring> campaignExtensions = {});
PreferenceReading readFirefoxPreferences(std::string_view prefs);

// A profile's folder and its browser.
struct BrowserProfile {
    const ProfileBrowser* browser = nullptr;
    std::wstring folder;
    bool chromium = true;
    // The folder's name below the browser's root; empty for the root itself.
    std::wstring name{};
    // What the report groups its findings under: the browser and the profile.
    std::wstring group{};
    // Whether it is a profile of the user this program runs as.
    bool runningUser = false;
};

// A finding of a profile, with what puts it back.
struct ProfileFinding {
    Finding finding;
    BrowserProfile profile;
    FoundPreference found;
};

// What the scan is told of the machine.
struct ProfileScanFacts {
    bool managedMachine = false;
    // The extensions the registry's extension keys install against the
    // user's choice, by id.
    std::span<const std::wstring> campaignExtensions = {};
};

// Every covered user's Chromium profiles (those Local State lists, else the
// folders that hold preferences) and Firefox profiles, grouped by browser and
// profile; repairable unless an organisation manages the machine. A file is
// read up to 32 MiB; a larger or unreadable one is a failure and the others
// go on. Only folders on a disk of this machine are opened.
std::vector<ProfileFinding> findProfilePreferences(PlatformOps& platform,
                                                   std::span<const std::wstring> userHives,
                                                   UserFoldersOfThisRun& userFolders,
                                                   const ProfileScanFacts& facts,
                                                   FailureLog& failures);

// The files a profile's repair reads and writes, below its folder.
std::span<const std::wstring_view> profileFileNames(bool chromium);

}  // namespace tovask
