#include "repair/preferences/ProfileRepair.h"

#include <algorithm>
#include <set>
#include <utility>

#include "repair/paths/LocalPaths.h"
#include "repair/preferences/PreferenceTexts.h"
#include "repair/users/UserPaths.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

// An extension's folder holds its manifest and a few hundred files at most;
// one beyond that is not an extension's, and stays where it is.
constexpr ListingLimits kExtensionListing{8, 500, 5000};
constexpr std::wstring_view kExtensionManifest = L"manifest.json";

std::wstring browserOpen(const ProfileBrowser& browser) {
    return std::wstring(texts::kBrowserOpenPrefix) + std::wstring(browser.name) +
           std::wstring(texts::kBrowserOpenSuffix);
}

// The profile's findings, in their order, each profile once.
std::vector<std::vector<const ProfileFinding*>> byProfile(
    std::span<const ProfileFinding> findings) {
    std::vector<std::vector<const ProfileFinding*>> profiles;
    for (const auto& finding : findings) {
        const auto same = std::ranges::find_if(profiles, [&](const auto& profile) {
            return equalsIgnoringCase(profile.front()->profile.folder, finding.profile.folder);
        });
        if (same == profiles.end()) {
            profiles.push_back({&finding});
        } else {
            same->push_back(&finding);
        }
    }
    return profiles;
}

class ProfileRewrite {
  public:
    ProfileRewrite(PlatformOps& platform, FileBackup& files, FailureLog& failures)
        : platform_(platform), files_(files), failures_(failures) {}

    // The profile's files that now hold none of what was found. Every file
    // is read and its new bytes made before any is written: a file that
    // cannot be read leaves the whole profile as it was.
    std::vector<std::wstring> putBack(std::span<const ProfileFinding* const> found) {
        const auto& profile = found.front()->profile;
        std::vector<std::pair<std::wstring, std::string>> befores;
        std::vector<std::string> afters;
        for (const auto name : profileFileNames(profile.chromium)) {
            auto path = profile.folder + L"\\" + std::wstring(name);
            auto before = platform_.ReadFileContent(path, kPreferencesFileLimit);
            if (!before.ok() && isNotFound(before.error())) {
                continue;
            }
            if (!before.ok()) {
                failures_.add(path, before.error() == std::errc::file_too_large
                                        ? std::wstring(texts::kPreferencesTooLarge)
                                        : platform_.DescribeError(before.error()));
                return {};
            }
            auto after = profile.chromium ? chromiumWithout(before.value(), found)
                                          : firefoxWithout(before.value(), found);
            if (!after) {
                failures_.add(path, texts::kPreferencesNotJson);
                return {};
            }
            befores.emplace_back(std::move(path), std::move(before).value());
            afters.push_back(std::move(*after));
        }
        std::vector<std::wstring> putBack;
        for (std::size_t i = 0; i < befores.size(); ++i) {
            if (write(befores[i].first, befores[i].second, afters[i])) {
                putBack.push_back(befores[i].first);
            }
        }
        return putBack;
    }

    // Each file goes to the backups, and the folders stay, so that the
    // undo can put every file back where it was.
    void moveExtensionFolder(std::wstring_view read) {
        const auto folder = normalisedPath(read);
        if (!driveLetterOf(folder) ||
            !isProfileFilePath(folder + L"\\" + std::wstring(kExtensionManifest)) ||
            !mayOpenUserPath(platform_, folder)) {
            return;
        }
        const auto listing = platform_.ListFiles(folder, L"", kExtensionListing);
        if (!listing.ok()) {
            if (!isNotFound(listing.error())) {
                failures_.add(folder, listing.error());
            }
            return;
        }
        const auto& paths = listing.value().files;
        const bool isExtension = std::ranges::any_of(paths, [&](const std::wstring& path) {
            return equalsIgnoringCase(path, folder + L"\\" + std::wstring(kExtensionManifest));
        });
        if (listing.value().truncated || !listing.value().unreadableFolders.empty()) {
            failures_.add(folder, texts::kExtensionFolderCut);
            return;
        }
        for (const auto& path : isExtension ? paths : std::vector<std::wstring>{}) {
            files_.remove(path, failures_);
        }
    }

  private:
    bool write(const std::wstring& path, const std::string& before, const std::string& after) {
        if (after == before) {
            return true;
        }
        if (files_.save(path, before, after, failures_)) {
            return false;
        }
        if (const auto error = platform_.RewriteUnchangedFile(path, before, after)) {
            failures_.add(path, error);
            return false;
        }
        return true;
    }

    static std::optional<std::string> chromiumWithout(
        std::string_view before, std::span<const ProfileFinding* const> found) {
        std::vector<PreferencePath> members;
        for (const auto* finding : found) {
            for (const auto& member : finding->found.members) {
                if (std::ranges::find(members, member) == members.end()) {
                    members.push_back(member);
                }
            }
        }
        return withoutPreferences(before, members);
    }

    // The file read again: the statements that set what was found, wherever
    // they now are in it.
    static std::optional<std::string> firefoxWithout(std::string_view before,
                                                     std::span<const ProfileFinding* const> found) {
        std::vector<FirefoxTextPreference> statements;
        for (const auto& now : readFirefoxPreferences(before).found) {
            const bool chosen = std::ranges::any_of(found, [&](const ProfileFinding* finding) {
                return finding->found.subject == now.subject && finding->found.entry == now.entry;
            });
            for (const auto& statement :
                 chosen ? now.statements : std::vector<FirefoxTextPreference>{}) {
                if (std::ranges::none_of(statements, [&](const FirefoxTextPreference& taken) {
                        return taken.begin == statement.begin;
                    })) {
                    statements.push_back(statement);
                }
            }
        }
        return withoutStatements(before, statements);
    }

    PlatformOps& platform_;
    FileBackup& files_;
    FailureLog& failures_;
};

}  // namespace

std::vector<const ProfileBrowser*> openBrowsers(PlatformOps& platform,
                                                std::span<const ProfileFinding> findings) {
    std::vector<const ProfileBrowser*> open;
    std::set<std::wstring_view> asked;
    for (const auto& finding : findings) {
        const auto* browser = finding.profile.browser;
        if (!asked.insert(browser->name).second) {
            continue;
        }
        const auto owners = platform.ProcessOwners(browser->program);
        if (!owners.ok() || !owners.value().empty()) {
            open.push_back(browser);
        }
    }
    return open;
}

std::vector<BrowserProfile> putProfilesBack(PlatformOps& platform,
                                            std::span<const ProfileFinding> findings,
                                            std::span<const ProfileBrowser* const> keptOpen,
                                            FileBackup& files, const OutcomeReport& report,
                                            FailureLog& failures) {
    const auto open = openBrowsers(platform, findings);
    ProfileRewrite rewrite(platform, files, failures);
    std::vector<BrowserProfile> notPutBack;
    for (const auto& profile : byProfile(findings)) {
        const auto& where = profile.front()->profile;
        const auto isOpen = [&](const ProfileBrowser* browser) { return browser == where.browser; };
        if (std::ranges::any_of(open, isOpen) || std::ranges::any_of(keptOpen, isOpen)) {
            failures.add(where.folder, browserOpen(*where.browser));
            for (const auto* one : profile) {
                report(std::span(&one->finding, 1), false);
            }
            notPutBack.push_back(where);
            continue;
        }
        // Each finding by its own file: the one the browser reads it from.
        const auto putBack = rewrite.putBack(profile);
        bool whole = true;
        for (const auto* one : profile) {
            const bool done = std::ranges::find(putBack, one->finding.place) != putBack.end();
            if (done && !one->found.extensionFolder.empty()) {
                rewrite.moveExtensionFolder(one->found.extensionFolder);
            }
            report(std::span(&one->finding, 1), done);
            whole = whole && done;
        }
        if (!whole) {
            notPutBack.push_back(where);
        }
    }
    return notPutBack;
}

bool isProfileFilePath(std::wstring_view path) {
    const auto name = path.substr(path.rfind(L'\\') + 1);
    for (const bool chromium : {true, false}) {
        if (std::ranges::any_of(profileFileNames(chromium), [&](std::wstring_view file) {
                return equalsIgnoringCase(name, file);
            })) {
            return true;
        }
    }
    // An extension's files in a user's application data, outside Windows'
    // own folders there, where the start-up and shortcut repairs write.
    const auto comparable = comparablePath(path);
    const auto appData = comparable.find(foldedCase(L"\\AppData\\"));
    if (appData == std::wstring::npos) {
        return false;
    }
    const auto base = comparable.find(L'\\', appData + 9);
    return base != std::wstring::npos &&
           !std::wstring_view(comparable).substr(base).starts_with(foldedCase(L"\\Microsoft\\"));
}

}  // namespace tovask
