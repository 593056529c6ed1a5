#include "repair/network/StartupPrograms.h"

#include <algorithm>
#include <array>
#include <optional>

#include "repair/commands/CommandLineArguments.h"
#include "repair/paths/ShortcutFolders.h"
#include "text/RegistryEncoding.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

constexpr std::array<std::wstring_view, 2> kRunKeysBelowHive = {
    L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\",
    L"\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce\\"};
constexpr std::wstring_view kStartupBelowAppData =
    L"\\Microsoft\\Windows\\Start Menu\\Programs\\Startup";
// The folder's own settings file, which the shell does not start.
constexpr std::wstring_view kFolderSettings = L"desktop.ini";
// Far beyond a real Startup folder; any file left unlisted there lies in the
// user's own folder like those listed, so nothing is judged otherwise.
constexpr ListingLimits kStartupLimits{0, 200, 2000};

class ProgramList {
  public:
    // With a rule, only the commands it finds a hijack in.
    explicit ProgramList(UserFolders* folders, StartupHijackRule onlyHijacks = nullptr)
        : folders_(folders), onlyHijacks_(onlyHijacks) {}

    // A path or command as the user's entry holds it, the user's references expanded.
    void add(std::wstring_view text, bool isCommand) {
        const auto expanded = folders_ != nullptr ? folders_->expanded(text) : std::nullopt;
        const std::wstring_view whole = expanded ? std::wstring_view(*expanded) : text;
        if (onlyHijacks_ != nullptr && (!isCommand || !onlyHijacks_(whole))) {
            return;
        }
        auto program = isCommand ? programOfCommand(whole) : std::wstring(whole);
        if (!program.empty() && std::ranges::none_of(programs_, [&](const std::wstring& seen) {
                return equalsIgnoringCase(seen, program);
            })) {
            programs_.push_back(std::move(program));
        }
    }
    std::vector<std::wstring> take() { return std::move(programs_); }

  private:
    UserFolders* folders_;
    StartupHijackRule onlyHijacks_;
    std::vector<std::wstring> programs_;
};

void addRunCommands(PlatformOps& platform, std::wstring_view hive, ProgramList& programs,
                    FailureLog& failures) {
    for (const auto key : kRunKeysBelowHive) {
        const auto path = std::wstring(hive) + std::wstring(key);
        const auto content = platform.RegReadTree(path, RegistryView::Default);
        if (!content.ok()) {
            if (!isNotFound(content.error())) {
                failures.add(path, content.error());
            }
            continue;
        }
        for (const auto& value : content.value().values) {
            if (const auto command = textOf(value.value)) {
                programs.add(*command, true);
            }
        }
    }
}

void addStartupFolder(PlatformOps& platform, UserFolders& folders, ProgramList& programs,
                      FailureLog& failures) {
    const auto folder =
        folders.folder(L"Startup", folders.appData() + std::wstring(kStartupBelowAppData));
    if (folder.starts_with(L"\\\\")) {
        return;
    }
    const auto listing = platform.ListFiles(folder, L"", kStartupLimits);
    if (!listing.ok()) {
        if (!isNotFound(listing.error())) {
            failures.add(folder, listing.error());
        }
        return;
    }
    for (const auto& path : listing.value().files) {
        if (equalsIgnoringCase(std::wstring_view(path).substr(path.rfind(L'\\') + 1),
                               kFolderSettings)) {
            continue;
        }
        if (!isShortcutPath(path)) {
            programs.add(path, false);
            continue;
        }
        const auto shortcut = platform.ReadShortcut(path);
        if (!shortcut.ok()) {
            failures.add(path, shortcut.error());
        } else {
            programs.add(shortcut.value().content.target, false);
        }
    }
}

}  // namespace

std::vector<std::wstring> startupPrograms(PlatformOps& platform, std::wstring_view hive,
                                          UserFoldersOfThisRun& userFolders, FailureLog& failures) {
    auto* folders = userFolders.of(hive);
    ProgramList programs(folders);
    addRunCommands(platform, hive, programs, failures);
    if (folders != nullptr) {
        addStartupFolder(platform, *folders, programs, failures);
    }
    return programs.take();
}

std::vector<std::wstring> hijackingRunPrograms(PlatformOps& platform, std::wstring_view hive,
                                               UserFoldersOfThisRun& userFolders,
                                               StartupHijackRule isStartupHijack,
                                               FailureLog& failures) {
    // Without the rule, no command is known to be a hijack.
    if (isStartupHijack == nullptr) {
        return {};
    }
    ProgramList programs(userFolders.of(hive), isStartupHijack);
    addRunCommands(platform, hive, programs, failures);
    return programs.take();
}

}  // namespace tovask
