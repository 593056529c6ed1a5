#include "repair/startup/StartupFolderEntries.h"

#include <algorithm>

#include "repair/commands/WebAddress.h"
#include "repair/paths/FolderTexts.h"
#include "repair/paths/LocalPaths.h"
#include "repair/paths/ShortcutFolders.h"
#include "repair/startup/StartupCommand.h"
#include "repair/startup/StartupTexts.h"
#include "text/Blanks.h"
#include "text/TextCompare.h"
#include "text/Utf16.h"
#include "text/Utf8.h"

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

// The shell writes a few hundred bytes; a planted giant is refused unread.
constexpr std::size_t kLargestInternetShortcut = 64 * 1024;

// The URL of an Internet shortcut's [InternetShortcut] section, as the shell
// reads its INI text: names without regard to case and blanks around them
// dropped, the first URL= line; UTF-16 after its byte-order mark, else UTF-8
// with any broken bytes taken for U+FFFD.
std::optional<std::wstring> internetShortcutAddress(std::string_view bytes) {
    std::wstring text;
    if (bytes.starts_with("\xFF\xFE")) {
        auto wide = fromUtf16LeBytes(bytes.substr(2));
        if (!wide.ok()) {
            return std::nullopt;
        }
        text = std::move(wide.value());
    } else {
        text = wideFromUtf8(bytes);
    }
    bool inSection = false;
    for (std::size_t start = 0; start < text.size();) {
        const auto end = std::min(text.find_first_of(L"\r\n", start), text.size());
        const auto line = trimmed(std::wstring_view(text).substr(start, end - start), L" \t\uFEFF");
        start = end + 1;
        const auto equals = line.find(L'=');
        if (line.starts_with(L'[')) {
            inSection = equalsIgnoringCase(line, L"[InternetShortcut]");
        } else if (inSection && equals != std::wstring_view::npos &&
                   equalsIgnoringCase(trimmed(line.substr(0, equals)), L"URL")) {
            return std::wstring(trimmed(line.substr(equals + 1)));
        }
    }
    return std::nullopt;
}

// An Internet shortcut opens a web address in the browser, and a file:
// address starts the program it names, judged as that program; none for
// any other address, and for a file that cannot be read, a failure.
std::optional<Finding> internetShortcutFinding(PlatformOps& platform, const std::wstring& path,
                                               bool managedMachine, const ServedHijacks& served,
                                               FailureLog& failures) {
    const auto bytes = platform.ReadFileContent(path, kLargestInternetShortcut);
    if (!bytes.ok()) {
        failures.add(path, bytes.error());
        return std::nullopt;
    }
    const auto address = internetShortcutAddress(bytes.value());
    if (address && isWebAddress(*address)) {
        auto finding =
            startupFinding(path, *address, {texts::kStartupOpensBrowser}, managedMachine);
        finding.title = {.what = texts::kInternetShortcutTitle,
                         .name = path.substr(path.find_last_of(L'\\') + 1),
                         .how = texts::kInternetShortcutHow,
                         .value = *address};
        return finding;
    }
    const auto program = address ? windowsPathOfFileUrl(*address) : std::nullopt;
    const auto command = program ? inQuotes(*program) : std::wstring{};
    const auto hijack = program ? served.hijackOf(command) : std::nullopt;
    return hijack ? std::optional(startupFinding(path, command, *hijack, managedMachine))
                  : std::nullopt;
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
            if (endsWithIgnoringCase(path, L".url")) {
                if (auto finding =
                        internetShortcutFinding(platform, path, managedMachine, served, failures)) {
                    found.push_back({path, std::move(*finding)});
                }
                continue;
            }
            const auto command = commandOf(platform, path, failures);
            if (const auto hijack = command ? served.hijackOf(*command) : std::nullopt) {
                found.push_back({path, startupFinding(path, *command, *hijack, managedMachine)});
            }
        }
    }
    return found;
}

}  // namespace tovask
