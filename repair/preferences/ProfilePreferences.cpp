#include "repair/preferences/ProfilePreferences.h"

#include <algorithm>
#include <array>
#include <optional>

#include "repair/addresses/ProxyAddress.h"
#include "repair/paths/LocalPaths.h"
#include "repair/paths/ShortcutFolders.h"
#include "repair/paths/WritableFolders.h"
#include "repair/preferences/ChromiumPreferences.h"
#include "repair/preferences/FirefoxPreferences.h"
#include "repair/preferences/PreferenceTexts.h"
#include "repair/users/UserPaths.h"
#include "text/TextCompare.h"
#include "text/Utf8.h"

namespace tovask {
namespace {

constexpr std::size_t kPreferencesLimit = std::size_t{32} << 20;
constexpr ListingLimits kProfileListing{1, 400, 20000};

struct ChromiumBrowser {
    std::wstring_view group;
    std::wstring_view userData;  // below the user's local application data
};

constexpr std::array kChromiumBrowsers = {
    ChromiumBrowser{L"Google Chrome", L"Google\\Chrome\\User Data"},
    ChromiumBrowser{L"Microsoft Edge", L"Microsoft\\Edge\\User Data"},
    ChromiumBrowser{L"Brave", L"BraveSoftware\\Brave-Browser\\User Data"},
    ChromiumBrowser{L"Chromium", L"Chromium\\User Data"},
};
constexpr std::array<std::wstring_view, 2> kChromiumFiles = {L"Preferences", L"Secure Preferences"};
constexpr std::array<std::wstring_view, 2> kFirefoxFiles = {L"prefs.js", L"user.js"};

// Search engines a browser offers of its own, named by a brand followed by a
// country's domain ("google.es", "yahoo.co.jp") or by their own domain.
constexpr std::array<std::wstring_view, 4> kSearchBrands = {L"google", L"bing", L"yahoo",
                                                            L"yandex"};
constexpr std::array<std::wstring_view, 10> kSearchDomains = {
    L"duckduckgo.com", L"ecosia.org", L"search.brave.com", L"qwant.com", L"startpage.com",
    L"baidu.com",      L"naver.com",  L"seznam.cz",        L"so.com",    L"sogou.com"};

// Where Chromium marks an extension loaded from a folder: unpacked, or from
// its command line.
constexpr std::array<std::string_view, 2> kUnpackedLocations = {"4", "8"};
// `session.restore_on_startup` when the browser opens the start-up pages.
constexpr std::string_view kRestoreStartupPages = "4";

bool hasWebServer(std::wstring_view text) {
    return serverOfWebAddress(text).has_value();
}

std::vector<std::wstring_view> labelsOf(std::wstring_view host) {
    std::vector<std::wstring_view> labels;
    for (std::size_t start = 0; start <= host.size();) {
        const auto end = std::min(host.find(L'.', start), host.size());
        labels.push_back(host.substr(start, end - start));
        start = end + 1;
    }
    return labels;
}

bool isKnownSearchHost(std::wstring_view host) {
    if (host.ends_with(L'.')) {
        host.remove_suffix(1);
    }
    const auto labels = labelsOf(host);
    for (std::size_t i = 0; i + 1 < labels.size(); ++i) {
        const bool brand = std::ranges::any_of(kSearchBrands, [&](std::wstring_view name) {
            return equalsIgnoringCase(labels[i], name);
        });
        if (brand && labels.size() - i <= 3) {
            return true;
        }
    }
    return std::ranges::any_of(kSearchDomains, [&](std::wstring_view domain) {
        return equalsIgnoringCase(host, domain) ||
               (host.size() > domain.size() &&
                equalsIgnoringCase(host.substr(host.size() - domain.size()), domain) &&
                host[host.size() - domain.size() - 1] == L'.');
    });
}

bool isForeignSearch(std::wstring_view url) {
    const auto server = serverOfWebAddress(url);
    return server && !isKnownSearchHost(server->host);
}

std::wstring leafNameOf(std::wstring_view path) {
    return std::wstring(path.substr(path.rfind(L'\\') + 1));
}

// The profile's folder name of a file directly in a profile below `root`; none otherwise.
std::optional<std::wstring> profileOf(std::wstring_view file, std::wstring_view root) {
    const auto folderEnd = file.rfind(L'\\');
    if (folderEnd == std::wstring_view::npos) {
        return std::nullopt;
    }
    const auto folder = file.substr(0, folderEnd);
    const auto profileStart = folder.rfind(L'\\');
    if (profileStart == std::wstring_view::npos ||
        !equalsIgnoringCase(folder.substr(0, profileStart), root)) {
        return std::nullopt;
    }
    return std::wstring(folder.substr(profileStart + 1));
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
        default:
            return {};
    }
}

class PreferenceScan {
  public:
    PreferenceScan(PlatformOps& platform, FailureLog& failures)
        : platform_(platform), failures_(failures) {}

    void scanUser(UserFolders* folders) {
        if (folders == nullptr) {
            return;
        }
        const auto localAppData =
            folders->folder(L"Local AppData", folders->profile() + L"\\AppData\\Local");
        for (const auto& browser : kChromiumBrowsers) {
            scanProfiles(localAppData + L"\\" + std::wstring(browser.userData), L"Preferences",
                         kChromiumFiles, browser.group, true);
        }
        scanProfiles(folders->appData() + L"\\Mozilla\\Firefox\\Profiles", L".js", kFirefoxFiles,
                     L"Mozilla Firefox", false);
    }

    std::vector<Finding> found;

  private:
    void scanProfiles(const std::wstring& root, std::wstring_view ending,
                      std::span<const std::wstring_view> names, std::wstring_view group,
                      bool chromium) {
        if (!mayOpenUserPath(platform_, root)) {
            return;
        }
        const auto listing = platform_.ListFiles(root, ending, kProfileListing);
        if (!listing.ok()) {
            if (!isNotFound(listing.error())) {
                failures_.add(root, listing.error());
            }
            return;
        }
        for (const auto& file : listing.value().files) {
            const auto profile = profileOf(file, root);
            const auto name = leafNameOf(file);
            if (profile && std::ranges::any_of(names, [&](std::wstring_view wanted) {
                    return equalsIgnoringCase(name, wanted);
                })) {
                scanFile(file,
                         std::wstring(group) + std::wstring(texts::kProfileSeparator) + *profile,
                         chromium);
            }
        }
    }

    void scanFile(const std::wstring& path, const std::wstring& group, bool chromium) {
        auto content = platform_.ReadFileContent(path, kPreferencesLimit);
        if (!content.ok()) {
            if (content.error() == std::errc::file_too_large) {
                failures_.add(path, texts::kPreferencesTooLarge);
            } else if (!isNotFound(content.error())) {
                failures_.add(path, content.error());
            }
            return;
        }
        const auto reading =
            chromium ? readChromiumPreferences(std::move(content).value(), writableFolders())
                     : readFirefoxPreferences(content.value());
        if (!reading.error.empty()) {
            failures_.add(path, reading.error);
        }
        for (const auto& preference : reading.found) {
            Finding finding{FindingKind::ProfilePreference, group, path, preference.text, false};
            finding.entry = preference.entry;
            finding.subject = preference.subject;
            finding.title = {.what = changedSettingTitle(preference.subject),
                             .value = preference.value};
            found.push_back(std::move(finding));
        }
    }

    // Read the first time a Chromium profile asks for them.
    const std::vector<std::wstring>& writableFolders() {
        if (!writableFolders_) {
            writableFolders_ = userWritableFolders(platform_, failures_);
        }
        return *writableFolders_;
    }

    PlatformOps& platform_;
    FailureLog& failures_;
    std::optional<std::vector<std::wstring>> writableFolders_;
};

}  // namespace

PreferenceReading readChromiumPreferences(std::string json,
                                          std::span<const std::wstring> writableFolders) {
    const auto preferences = readChromiumPreferenceValues(std::move(json));
    if (!preferences) {
        return {{}, texts::kPreferencesNotJson};
    }
    PreferenceReading reading;
    const auto add = [&](FindingSubject subject, std::wstring entry, std::wstring_view prefix,
                         const std::wstring& text) {
        reading.found.push_back({subject, std::move(entry), std::wstring(prefix) + text, text});
    };
    if (const auto homepage = wideFromUtf8(preferences->homepage);
        hasWebServer(homepage) && !preferences->homepageIsNewTabPage) {
        add(FindingSubject::HomePage, L"homepage", texts::kHomePagePrefix, homepage);
    }
    if (preferences->restoreOnStartup == kRestoreStartupPages) {
        for (const auto& url : preferences->startupUrls) {
            if (const auto text = wideFromUtf8(url); hasWebServer(text)) {
                add(FindingSubject::StartupPages, text, texts::kStartupPagePrefix, text);
            }
        }
    }
    for (const auto& [search, preference] :
         {std::pair{&preferences->searchUrl, L"default_search_provider_data"},
          std::pair{&preferences->olderSearchUrl, L"default_search_provider"}}) {
        if (const auto text = wideFromUtf8(*search); isForeignSearch(text)) {
            add(FindingSubject::SearchEngine, preference, texts::kSearchProviderPrefix, text);
        }
    }
    for (const auto& extension : preferences->extensions) {
        const auto path = wideFromUtf8(extension.path);
        if (std::ranges::find(kUnpackedLocations, extension.location) != kUnpackedLocations.end() &&
            liesInAnyFolder(normalisedPath(path), writableFolders)) {
            const auto id = wideFromUtf8(extension.id);
            add(FindingSubject::ExtensionFromFolder, id, texts::kUnpackedExtensionPrefix,
                id + L" (" + path + L")");
        }
    }
    return reading;
}

PreferenceReading readFirefoxPreferences(std::string_view prefs) {
    PreferenceReading reading;
    for (const auto& preference : readFirefoxTextPreferences(prefs)) {
        if (!preference.text) {
            continue;
        }
        const auto& name = preference.name;
        const auto text = wideFromUtf8(preference.value);
        if (name == "browser.startup.homepage") {
            for (std::size_t start = 0; start <= text.size();) {
                const auto end = std::min(text.find(L'|', start), text.size());
                if (const auto page = text.substr(start, end - start); hasWebServer(page)) {
                    reading.found.push_back({FindingSubject::HomePage, page,
                                             std::wstring(texts::kHomePagePrefix) + page, page});
                }
                start = end + 1;
            }
        } else if (name == "browser.newtab.url" && hasWebServer(text)) {
            reading.found.push_back({FindingSubject::NewTabPage, wideFromUtf8(name),
                                     std::wstring(texts::kStartupPagePrefix) + text, text});
        } else if ((name == "keyword.URL" || name == "browser.search.defaulturl") &&
                   isForeignSearch(text)) {
            reading.found.push_back({FindingSubject::SearchEngine, wideFromUtf8(name),
                                     std::wstring(texts::kSearchProviderPrefix) + text, text});
        }
    }
    return reading;
}

std::vector<Finding> findProfilePreferences(PlatformOps& platform,
                                            std::span<const std::wstring> userHives,
                                            UserFoldersOfThisRun& userFolders,
                                            FailureLog& failures) {
    PreferenceScan scan(platform, failures);
    for (const auto& hive : userHives) {
        scan.scanUser(userFolders.of(hive));
    }
    return std::move(scan.found);
}

}  // namespace tovask
