#include "repair/preferences/ProfilePreferences.h"

#include <algorithm>
#include <array>
#include <optional>

#include "repair/addresses/ProxyAddress.h"
#include "repair/addresses/ScriptHost.h"
#include "repair/addresses/SearchEngines.h"
#include "repair/paths/LocalPaths.h"
#include "repair/preferences/PreferenceTexts.h"
#include "repair/users/UserPaths.h"
#include "text/TextCompare.h"
#include "text/Utf8.h"

namespace tovask {
namespace {

constexpr ListingLimits kProfileListing{1, 400, 20000};
constexpr std::array<std::wstring_view, 2> kChromiumFiles = {L"Preferences", L"Secure Preferences"};
constexpr std::array<std::wstring_view, 2> kFirefoxFiles = {L"prefs.js", L"user.js"};

// Where Chromium marks an extension loaded from a folder: unpacked, or from
// its command line.
constexpr std::array<std::string_view, 2> kUnpackedLocations = {"4", "8"};
// `session.restore_on_startup` when the browser opens the start-up pages.
constexpr std::string_view kRestoreStartupPages = "4";
// Firefox's `network.proxy.type` when a proxy script names the proxy.
constexpr std::string_view kProxyTypeScript = "2";

// The Firefox preferences judged, and the proxy type that goes with a script.
constexpr std::string_view kFirefoxHomePage = "browser.startup.homepage";
constexpr std::string_view kFirefoxNewTabPage = "browser.newtab.url";
constexpr std::string_view kFirefoxKeywordSearch = "keyword.URL";
constexpr std::string_view kFirefoxDefaultSearch = "browser.search.defaulturl";
constexpr std::string_view kFirefoxProxyScript = "network.proxy.autoconfig_url";
constexpr std::string_view kFirefoxProxyType = "network.proxy.type";
constexpr std::array kFirefoxPreferencesRead = {kFirefoxHomePage,      kFirefoxNewTabPage,
                                                kFirefoxKeywordSearch, kFirefoxDefaultSearch,
                                                kFirefoxProxyScript,   kFirefoxProxyType};

bool hasWebServer(std::wstring_view text) {
    return serverOfWebAddress(text).has_value();
}

bool isForeignSearch(std::wstring_view url) {
    return serverOfWebAddress(url).has_value() && !isKnownSearchAddress(url);
}

// A proxy script Firefox fetches from a server on the Internet, or carries
// in its address: the way a hijacker routes the browser through its proxy.
bool isForeignProxyScript(std::wstring_view address) {
    const auto script = classifyScriptAddress(address);
    if (script.kind == ScriptAddressKind::Data) {
        return true;
    }
    const auto server =
        script.kind == ScriptAddressKind::Other ? serverOfWebAddress(address) : std::nullopt;
    return server && isInternetHost(server->host, {});
}

// What a changed preference of each subject does to the person: a profile's
// own setting, changed rather than imposed.
std::wstring_view changedSettingTitle(FindingSubject subject) {
    switch (subject) {
        case FindingSubject::HomePage:
            return texts::kChangedHomePageTitle;
        case FindingSubject::StartupPages:
            return texts::kChangedStartupPageTitle;
        case FindingSubject::SearchEngine:
            return texts::kChangedSearchTitle;
        case FindingSubject::NewTabPage:
            return texts::kChangedNewTabTitle;
        case FindingSubject::ExtensionFromFolder:
            return texts::kUnpackedExtensionTitle;
        case FindingSubject::ForcedExtension:
            return texts::kCampaignExtensionTitle;
        case FindingSubject::ProxyScript:
            return texts::kChangedProxyScriptTitle;
        default:
            return {};
    }
}

std::wstring leafNameOf(std::wstring_view path) {
    return std::wstring(path.substr(path.rfind(L'\\') + 1));
}

std::wstring folderOf(std::wstring_view path) {
    return std::wstring(path.substr(0, path.rfind(L'\\')));
}

bool isProfileFileName(std::wstring_view name, bool chromium) {
    return std::ranges::any_of(profileFileNames(chromium), [&](std::wstring_view wanted) {
        return equalsIgnoringCase(name, wanted);
    });
}

class PreferenceScan {
  public:
    PreferenceScan(PlatformOps& platform, UserFoldersOfThisRun& userFolders,
                   const ProfileScanFacts& facts, FailureLog& failures)
        : platform_(platform), userFolders_(userFolders), facts_(facts), failures_(failures) {}

    void scanUser(std::wstring_view hive, UserFolders* folders) {
        if (folders == nullptr) {
            return;
        }
        runningUser_ = hive == L"HKCU";
        const auto localAppData =
            folders->folder(L"Local AppData", folders->profile() + L"\\AppData\\Local");
        const auto base = [&](const ProfileBrowser& browser) {
            return (browser.base == AppDataFolder::Local ? localAppData : folders->appData()) +
                   L"\\" + std::wstring(browser.profilesRoot);
        };
        for (const auto& browser : kChromiumBrowsers) {
            scanChromium(browser, base(browser));
        }
        scanFirefox(base(kFirefoxBrowser));
    }

    std::vector<ProfileFinding> found;

  private:
    void scanChromium(const ProfileBrowser& browser, const std::wstring& root) {
        if (!mayOpenUserPath(platform_, root)) {
            return;
        }
        // The browser's first profile lies in the root itself where the
        // browser keeps one there.
        scanProfile(browser, root, L"", true);
        for (const auto& name : profileFolders(root)) {
            scanProfile(browser, root + L"\\" + name, name, true);
        }
    }

    // The profiles Local State lists, as the browser knows them; where it
    // cannot be read, every folder of the root that holds either file.
    std::vector<std::wstring> profileFolders(const std::wstring& root) {
        const auto localStatePath = root + L"\\Local State";
        const auto localState = platform_.ReadFileContent(localStatePath, kPreferencesFileLimit);
        if (localState.ok()) {
            if (const auto names = readProfileFolders(localState.value())) {
                std::vector<std::wstring> folders;
                for (const auto& name : *names) {
                    folders.push_back(wideFromUtf8(name));
                }
                return folders;
            }
            failures_.add(localStatePath, texts::kPreferencesNotJson);
        } else if (!isNotFound(localState.error())) {
            failures_.add(localStatePath, localState.error());
        }
        std::vector<std::wstring> folders;
        for (const auto& file : listed(root, L"Preferences")) {
            auto folder = leafNameOf(folderOf(file));
            if (folderOf(folderOf(file)) == root && isProfileFileName(leafNameOf(file), true) &&
                std::ranges::find(folders, folder) == folders.end()) {
                folders.push_back(std::move(folder));
            }
        }
        return folders;
    }

    void scanFirefox(const std::wstring& root) {
        if (!mayOpenUserPath(platform_, root)) {
            return;
        }
        std::vector<std::wstring> profiles;
        for (const auto& file : listed(root, L".js")) {
            const auto folder = folderOf(file);
            if (folderOf(folder) == root && isProfileFileName(leafNameOf(file), false) &&
                std::ranges::find(profiles, folder) == profiles.end()) {
                profiles.push_back(folder);
            }
        }
        for (const auto& folder : profiles) {
            scanProfile(kFirefoxBrowser, folder, leafNameOf(folder), false);
        }
    }

    std::vector<std::wstring> listed(const std::wstring& root, std::wstring_view ending) {
        const auto listing = platform_.ListFiles(root, ending, kProfileListing);
        if (!listing.ok()) {
            if (!isNotFound(listing.error())) {
                failures_.add(root, listing.error());
            }
            return {};
        }
        return listing.value().files;
    }

    void scanProfile(const ProfileBrowser& browser, const std::wstring& folder,
                     const std::wstring& name, bool chromium) {
        const BrowserProfile profile{
            &browser,
            folder,
            chromium,
            name,
            name.empty()
                ? std::wstring(browser.name)
                : std::wstring(browser.name) + std::wstring(texts::kProfileSeparator) + name,
            runningUser_};
        for (const auto file : profileFileNames(chromium)) {
            scanFile(profile, folder + L"\\" + std::wstring(file));
        }
    }

    void scanFile(const BrowserProfile& profile, const std::wstring& path) {
        auto content = platform_.ReadFileContent(path, kPreferencesFileLimit);
        if (!content.ok()) {
            if (content.error() == std::errc::file_too_large) {
                failures_.add(path, texts::kPreferencesTooLarge);
            } else if (!isNotFound(content.error())) {
                failures_.add(path, content.error());
            }
            return;
        }
        const auto reading = profile.chromium ? readChromiumPreferences(std::move(content).value(),
                                                                        userFolders_.writable(),
                                                                        facts_.campaignExtensions)
                                              : readFirefoxPreferences(content.value());
        if (!reading.error.empty()) {
            failures_.add(path, reading.error);
        }
        for (const auto& preference : reading.found) {
            Finding finding{FindingKind::ProfilePreference, profile.group, path, preference.text,
                            !facts_.managedMachine};
            finding.entry = preference.entry;
            finding.subject = preference.subject;
            finding.title = {.what = changedSettingTitle(preference.subject),
                             .value = preference.value};
            // An extension goes by its id, the rest by the address it sets.
            const bool extension = preference.subject == FindingSubject::ExtensionFromFolder ||
                                   preference.subject == FindingSubject::ForcedExtension;
            finding.evidence.sets = {extension ? preference.entry : preference.value};
            found.push_back({std::move(finding), profile, preference});
        }
    }

    PlatformOps& platform_;
    UserFoldersOfThisRun& userFolders_;
    const ProfileScanFacts& facts_;
    FailureLog& failures_;
    bool runningUser_ = false;
};

}  // namespace

PreferenceReading readChromiumPreferences(std::string json,
                                          std::span<const std::wstring> writableFolders,
                                          std::span<const std::wstring> campaignExtensions) {
    const auto preferences = readChromiumPreferenceValues(std::move(json));
    if (!preferences) {
        return {{}, texts::kPreferencesNotJson};
    }
    PreferenceReading reading;
    const auto add = [&](FindingSubject subject, std::wstring entry, std::wstring_view prefix,
                         const std::wstring& text, std::vector<PreferencePath> members) {
        reading.found.push_back(
            {subject, std::move(entry), std::wstring(prefix) + text, text, std::move(members)});
    };
    if (const auto homepage = wideFromUtf8(preferences->homepage);
        hasWebServer(homepage) && !preferences->homepageIsNewTabPage) {
        add(FindingSubject::HomePage, L"homepage", texts::kHomePagePrefix, homepage,
            {{"homepage"}, {"homepage_is_newtabpage"}});
    }
    if (preferences->restoreOnStartup == kRestoreStartupPages) {
        for (const auto& url : preferences->startupUrls) {
            if (const auto text = wideFromUtf8(url); hasWebServer(text)) {
                add(FindingSubject::StartupPages, text, texts::kStartupPagePrefix, text,
                    {{"session", "restore_on_startup"}, {"session", "startup_urls"}});
            }
        }
    }
    // The browser keeps an unprotected mirror of its search provider, and
    // search_provider_overrides may name the hijacker's again.
    if (const auto text = wideFromUtf8(preferences->searchUrl); isForeignSearch(text)) {
        add(FindingSubject::SearchEngine, L"default_search_provider_data",
            texts::kSearchProviderPrefix, text,
            {{"default_search_provider_data", "template_url_data"},
             {"default_search_provider_data", "mirrored_template_url_data"},
             {"search_provider_overrides"}});
    }
    if (const auto text = wideFromUtf8(preferences->olderSearchUrl); isForeignSearch(text)) {
        add(FindingSubject::SearchEngine, L"default_search_provider", texts::kSearchProviderPrefix,
            text, {{"default_search_provider"}});
    }
    for (const auto& extension : preferences->extensions) {
        const auto id = wideFromUtf8(extension.id);
        // An extension's entry and its own integrity code go together: the
        // others' codes still match, so the browser keeps them.
        std::vector<PreferencePath> members = {
            {"extensions", "settings", extension.id},
            {"protection", "macs", "extensions", "settings", extension.id}};
        const auto path = wideFromUtf8(extension.path);
        if (std::ranges::find(kUnpackedLocations, extension.location) != kUnpackedLocations.end() &&
            liesInAnyFolder(normalisedPath(path), writableFolders)) {
            add(FindingSubject::ExtensionFromFolder, id, texts::kUnpackedExtensionPrefix,
                id + L" (" + path + L")", std::move(members));
            reading.found.back().extensionFolder = path;
        } else if (std::ranges::any_of(campaignExtensions, [&](const std::wstring& campaign) {
                       return equalsIgnoringCase(campaign, id);
                   })) {
            add(FindingSubject::ForcedExtension, id, texts::kCampaignExtensionPrefix, id,
                std::move(members));
        }
    }
    return reading;
}

PreferenceReading readFirefoxPreferences(std::string_view prefs) {
    PreferenceReading reading;
    const auto statements = readFirefoxTextPreferences(prefs, kFirefoxPreferencesRead);
    const auto add = [&](const FirefoxTextPreference& statement, FindingSubject subject,
                         std::wstring entry, std::wstring_view prefix, std::wstring text) {
        reading.found.push_back({subject,
                                 std::move(entry),
                                 std::wstring(prefix) + text,
                                 std::move(text),
                                 {},
                                 {statement}});
    };
    for (const auto& statement : statements) {
        if (!statement.text) {
            continue;
        }
        const auto& name = statement.name;
        const auto text = wideFromUtf8(statement.value);
        if (name == kFirefoxHomePage) {
            for (std::size_t start = 0; start <= text.size();) {
                const auto end = std::min(text.find(L'|', start), text.size());
                if (const auto page = text.substr(start, end - start); hasWebServer(page)) {
                    add(statement, FindingSubject::HomePage, page, texts::kHomePagePrefix, page);
                }
                start = end + 1;
            }
        } else if (name == kFirefoxNewTabPage && hasWebServer(text)) {
            add(statement, FindingSubject::NewTabPage, wideFromUtf8(name), texts::kNewTabPagePrefix,
                text);
        } else if ((name == kFirefoxKeywordSearch || name == kFirefoxDefaultSearch) &&
                   isForeignSearch(text)) {
            add(statement, FindingSubject::SearchEngine, wideFromUtf8(name),
                texts::kSearchProviderPrefix, text);
        } else if (name == kFirefoxProxyScript && isForeignProxyScript(text)) {
            add(statement, FindingSubject::ProxyScript, wideFromUtf8(name),
                texts::kProxyScriptPrefix, text);
            // Without its script, the proxy type that names one would leave
            // the browser without a connection: it goes back to the system's.
            for (const auto& type : statements) {
                if (type.name == kFirefoxProxyType && type.value == kProxyTypeScript) {
                    reading.found.back().statements.push_back(type);
                }
            }
        }
    }
    return reading;
}

std::vector<ProfileFinding> findProfilePreferences(PlatformOps& platform,
                                                   std::span<const std::wstring> userHives,
                                                   UserFoldersOfThisRun& userFolders,
                                                   const ProfileScanFacts& facts,
                                                   FailureLog& failures) {
    PreferenceScan scan(platform, userFolders, facts, failures);
    for (const auto& hive : userHives) {
        scan.scanUser(hive, userFolders.of(hive));
    }
    return std::move(scan.found);
}

std::span<const std::wstring_view> profileFileNames(bool chromium) {
    return chromium ? std::span<const std::wstring_view>(kChromiumFiles)
                    : std::span<const std::wstring_view>(kFirefoxFiles);
}

}  // namespace tovask
