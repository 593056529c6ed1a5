#include "repair/shortcuts/HijackedShortcuts.h"

#include <algorithm>
#include <iterator>

#include "repair/commands/BrowserOptions.h"
#include "repair/commands/CommandLineArguments.h"
#include "repair/commands/ShortcutTarget.h"
#include "repair/paths/FolderTexts.h"
#include "repair/paths/ShortcutFolders.h"
#include "repair/shortcuts/ShortcutTexts.h"
#include "repair/users/UserPaths.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

// Far beyond any real folder of shortcuts, low enough to finish in moments.
constexpr ListingLimits kFolderLimits{0, 2000, 20000};

std::wstring_view fileNameOf(std::wstring_view path) {
    return path.substr(path.rfind(L'\\') + 1);
}

void examine(PlatformOps& platform, const std::wstring& path, const ShortcutFolder& folder,
             std::vector<HijackedShortcut>& hijacked, FailureLog& failures) {
    const auto shortcut = platform.ReadShortcut(path);
    if (!shortcut.ok()) {
        failures.add(path, shortcut.error());
        return;
    }
    const auto& content = shortcut.value().content;
    if (auto finding = examineShortcut(
            {fileNameOf(path), content.target, content.arguments, content.iconPath})) {
        hijacked.push_back({path, std::move(*finding), shortcut.value().bytes, folder.shared, false,
                            folder.place, browserNameOf(content.target)});
    }
}

// The arguments its repair takes out, and the folders they had the browser
// load extensions from.
FindingEvidence evidenceOf(const ShortcutFinding& finding) {
    FindingEvidence evidence;
    evidence.sets = finding.offendingArguments;
    for (const auto& written : finding.offendingArguments) {
        for (const auto& argument : splitArguments(written)) {
            std::ranges::move(extensionFoldersOf(argument.value),
                              std::back_inserter(evidence.extensionFolders));
        }
    }
    if (finding.repairable) {
        evidence.repairedTo = finding.repairedArguments;
    }
    return evidence;
}

struct PlaceWords {
    std::wstring_view group;  // where a shortcut of no browser is grouped
    std::wstring_view opens;  // what its title says between its name and what it opens
};

constexpr PlaceWords kPlaceWords[] = {
    {texts::kDesktopGroup, texts::kDesktopOpens},
    {texts::kStartMenuGroup, texts::kStartMenuOpens},
    {texts::kTaskbarGroup, texts::kTaskbarOpens},
    {texts::kStartupFolderGroup, texts::kStartupFolderOpens},
};
static_assert(std::size(kPlaceWords) == static_cast<std::size_t>(ShortcutPlace::Startup) + 1);

const PlaceWords& wordsOf(ShortcutPlace place) {
    return kPlaceWords[static_cast<std::size_t>(place)];
}

std::wstring joinedArguments(const std::vector<std::wstring>& arguments) {
    std::wstring text;
    for (const auto& argument : arguments) {
        text += (text.empty() ? L"" : L" ") + argument;
    }
    return text;
}

// "Acceso directo «Google Chrome» del Escritorio abre <what it added>".
FindingTitle shortcutTitle(const HijackedShortcut& shortcut) {
    if (shortcut.refusedFolder) {
        return {.what = texts::kRefusedFolderTitle, .value = shortcut.path};
    }
    auto name = std::wstring(fileNameOf(shortcut.path));
    if (isShortcutPath(name)) {
        name.resize(name.size() - kShortcutExtension.size());
    }
    const auto& finding = shortcut.finding;
    return {
        .what = texts::kShortcutWord,
        .name = std::move(name),
        .how = wordsOf(shortcut.place).opens,
        .value = joinedArguments(finding.offendingArguments.empty() ? finding.siteArguments
                                                                    : finding.offendingArguments)};
}

}  // namespace

std::vector<HijackedShortcut> findHijackedShortcuts(PlatformOps& platform,
                                                    std::span<const std::wstring> userHives,
                                                    UserFoldersOfThisRun& userFolders,
                                                    FailureLog& failures) {
    std::vector<HijackedShortcut> hijacked;
    for (const auto& folder : shortcutFolders(platform, userHives, userFolders, failures)) {
        if (folder.refused) {
            hijacked.push_back({folder.path, {}, {}, folder.shared, true, folder.place});
            continue;
        }
        auto limits = kFolderLimits;
        limits.maxDepth = folder.depth;
        const auto listing = platform.ListFiles(folder.path, kShortcutExtension, limits);
        if (!listing.ok()) {
            if (!isNotFound(listing.error())) {
                failures.add(folder.path, listing.error());
            }
            continue;
        }
        for (const auto& unreadable : listing.value().unreadableFolders) {
            failures.add(unreadable, texts::kShortcutFolderUnreadable);
        }
        if (listing.value().truncated) {
            failures.add(folder.path, texts::kShortcutFolderCut);
        }
        for (const auto& path : listing.value().files) {
            // The Start menu's Startup folder is the start-up programs' own:
            // one finding, and one repair, for each file there.
            if (!isStartupFolderFilePath(path)) {
                examine(platform, path, folder, hijacked, failures);
            }
        }
    }
    return hijacked;
}

std::vector<Finding> findingsOf(std::span<const HijackedShortcut> shortcuts, bool managedMachine) {
    std::vector<Finding> findings;
    for (const auto& shortcut : shortcuts) {
        auto finding = withSubject(
            FindingSubject::ShortcutArgument,
            {FindingKind::Shortcut,
             std::wstring(shortcut.browser.empty() ? wordsOf(shortcut.place).group
                                                   : shortcut.browser),
             shortcut.path,
             shortcut.refusedFolder ? std::wstring(texts::kShortcutFolderRefused)
                                    : describeShortcutFinding(shortcut.finding),
             shortcut.finding.repairable && !(managedMachine && shortcut.inSharedFolder),
             PolicyHives::None, evidenceOf(shortcut.finding)});
        finding.title = shortcutTitle(shortcut);
        findings.push_back(std::move(finding));
    }
    return findings;
}

bool repairShortcut(PlatformOps& platform, const HijackedShortcut& shortcut, FileBackup& backups,
                    FailureLog& failures) {
    const auto unchanged = platform.FileHasContent(shortcut.path, shortcut.bytes);
    if (!unchanged.ok() || !unchanged.value()) {
        failures.add(shortcut.path, unchanged.ok() ? texts::kShortcutChangedMeanwhile
                                                   : platform.DescribeError(unchanged.error()));
        return false;
    }
    const auto repaired =
        platform.ShortcutWithArguments(shortcut.path, shortcut.finding.repairedArguments);
    if (!repaired.ok()) {
        failures.add(shortcut.path, repaired.error());
        return false;
    }
    if (backups.save(shortcut.path, shortcut.bytes, repaired.value(), failures)) {
        return false;
    }
    // The user's folder may have changed under the check above: the write
    // checks again, on the very file it writes.
    const auto error =
        platform.RewriteUnchangedFile(shortcut.path, shortcut.bytes, repaired.value());
    if (error == std::errc::operation_canceled) {
        failures.add(shortcut.path, texts::kShortcutChangedMeanwhile);
        return false;
    }
    if (error) {
        failures.add(shortcut.path, error);
        return false;
    }
    return true;
}

}  // namespace tovask
