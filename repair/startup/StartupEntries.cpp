#include "repair/startup/StartupEntries.h"

#include <algorithm>
#include <array>

#include "repair/backup/RegistryKeyNames.h"
#include "repair/startup/ActiveSetupEntries.h"
#include "repair/startup/StartupCommand.h"
#include "repair/startup/StartupTexts.h"
#include "repair/startup/WinlogonEntries.h"
#include "repair/users/UserHives.h"
#include "text/RegistryEncoding.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

constexpr std::array<std::wstring_view, 5> kRunKeys = {
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
    L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
    // Group Policy's programs to run at logon, which Explorer starts beside Run's.
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\Run",
    // Windows 98's services: Windows no longer starts them, but a hijacker's own
    // loader may, and what they hold is the hijacker's.
    L"Software\\Microsoft\\Windows\\CurrentVersion\\RunServices",
    L"Software\\Microsoft\\Windows\\CurrentVersion\\RunServicesOnce"};

void lookAtRunKey(PlatformOps& platform, std::wstring_view hive, std::wstring_view runKey,
                  RegistryView view, bool managedMachine, const ServedHijacks& served,
                  std::vector<RemovableValue>& found, FailureLog& failures) {
    const auto keyPath = std::wstring(hive) + L"\\" + std::wstring(runKey) + L"\\";
    const auto content = platform.RegReadTree(keyPath, view);
    if (!content.ok()) {
        if (!isNotFound(content.error())) {
            failures.add(keyPath, content.error());
        }
        return;
    }
    const auto parsed = parseRegistryPath(keyPath).value();
    const auto fileKey = fileKeyName(parsed.root, parsed.key, view);
    for (const auto& value : content.value().values) {
        const auto command = textOf(value.value);
        const auto hijack = command ? served.hijackOf(*command) : std::nullopt;
        if (!hijack) {
            continue;
        }
        found.push_back(
            {keyPath,
             view,
             value.name,
             {fileKey, false, {{value.name, value.value}}},
             startupFinding(fileKey + L"\\" + value.name, *command, *hijack, managedMachine)});
    }
}

}  // namespace

std::vector<RemovableValue> findStartupEntries(PlatformOps& platform,
                                               std::span<const std::wstring> userHives,
                                               bool managedMachine, FailureLog& failures,
                                               const ServedHijacks& served) {
    std::vector<RemovableValue> found;
    for (const auto runKey : kRunKeys) {
        for (const auto view :
             viewsFor(RegistryRoot::LocalMachine, runKey, platform.HasTwoRegistryViews())) {
            lookAtRunKey(platform, L"HKLM", runKey, view, managedMachine, served, found, failures);
        }
        for (const auto& hive : userHives) {
            lookAtRunKey(platform, hive, runKey, RegistryView::Default, managedMachine, served,
                         found, failures);
        }
    }
    return found;
}

bool withinStartupReach(const RegistryFileSection& section, bool hasTwoViews) {
    const auto sectionKey = valueSectionKey(section, hasTwoViews);
    if (!sectionKey) {
        return false;
    }
    std::wstring_view key = sectionKey->key;
    if (sectionKey->root == RegistryRoot::Users) {
        const auto slash = key.find(L'\\');
        if (slash == std::wstring_view::npos || !isUserAccountSid(key.substr(0, slash))) {
            return false;
        }
        key = key.substr(slash + 1);
    }
    const bool isRunKey =
        std::ranges::any_of(kRunKeys, [&](auto runKey) { return equalsIgnoringCase(key, runKey); });
    return (isRunKey || restoresWinlogonValues(sectionKey->root, key, section.entries) ||
            liesInActiveSetupComponent(sectionKey->root, key)) &&
           std::ranges::all_of(section.entries, [](const RegistryFileEntry& entry) {
               return entry.value.has_value();
           });
}

}  // namespace tovask
