#include "repair/startup/StartupFolderEntries.h"

#include <algorithm>

#include "repair/paths/FolderTexts.h"
#include "repair/paths/ShortcutFolders.h"
#include "repair/startup/StartupCommand.h"
#include "repair/startup/StartupTexts.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

// A Startup folder holds a handful of entries; a planted flood may not stall the run.
constexpr ListingLimits kStartupFolderLimits{0, 500, 2000};

std::wstring inQuotes(std::wstring_view path) {
    return L"\"" + std::wstring(path) + L"\"";
}

bool isShortcut(std::wstring_view path) {
    return path.size() >= 4 && equalsIgnoringCase(path.substr(path.size() - 4), L".lnk");
}

// What starting the file runs; none for a shortcut that cannot be read.
std::optional<std::wstring> commandOf(PlatformOps& platform, const std::wstring& path,
                                      FailureLog& failures) {
    if (!isShortcut(path)) {
        return inQuotes(path);
    }
    const auto shortcut = platform.ReadShortcut(path);
    if (!shortcut.ok()) {
        failures.add(path, shortcut.error());
        return std::nullopt;
    }
    const auto& content = shortcut.value().content;
    return content.arguments.empty() ? inQuotes(content.target)
                                     : inQuotes(content.target) + L" " + content.arguments;
}

}  // namespace

std::vector<StartupFile> findStartupFiles(PlatformOps& platform,
                                          std::span<const std::wstring> userHives,
                                          UserFoldersOfThisRun& userFolders, bool managedMachine,
                                          const ServedHijacks& served, FailureLog& failures) {
    std::vector<StartupFile> found;
    for (const auto& folder : startupFolders(platform, userHives, userFolders, failures)) {
        if (folder.refused) {
            failures.add(folder.path, texts::kStartupFolderRefused);
            continue;
        }
        const auto listing = platform.ListFiles(folder.path, L"", kStartupFolderLimits);
        if (!listing.ok()) {
            if (!isNotFound(listing.error())) {
                failures.add(folder.path, listing.error());
            }
            continue;
        }
        if (listing.value().truncated) {
            failures.add(folder.path, texts::kShortcutFolderCut);
        }
        for (const auto& path : listing.value().files) {
            const auto command = commandOf(platform, path, failures);
            if (const auto hijack = command ? served.hijackOf(*command) : std::nullopt) {
                found.push_back({path, startupFinding(path, *command, *hijack, managedMachine)});
            }
        }
    }
    return found;
}

}  // namespace tovask
