#include <algorithm>
#include <optional>

#include "repair/backup/HiveNames.h"
#include "repair/backup/RegistryBackup.h"
#include "repair/backup/files/Sha256.h"
#include "repair/backup/runs/RegistryItems.h"
#include "repair/findings/FindingKinds.h"
#include "repair/findings/FindingsRun.h"
#include "repair/run/BrowserRepair.h"
#include "repair/texts/ProgramTexts.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

// The kinds' switches, each once, in the order of the usage.
std::vector<std::wstring> switchesOf(const std::set<FindingKind>& offered) {
    std::vector<std::wstring> switches;
    for (const auto* kind : findingKinds()) {
        auto name = L"/" + std::wstring(kind->commandSwitch);
        if (offered.contains(kind->kind) && std::ranges::find(switches, name) == switches.end()) {
            switches.push_back(std::move(name));
        }
    }
    return switches;
}

}  // namespace

std::wstring BrowserRepair::runSetsFolder() const {
    const auto registry = registryBackupFile();
    return registry.substr(0, registry.rfind(L'\\') + 1) + std::wstring(kRunSetsFolderName);
}

RunSetReach BrowserRepair::runSetReach() const {
    const auto isHosts = [this](std::wstring_view path) {
        return paths_.ok() && std::ranges::any_of(hostsPairs(paths_.value()), [&](HostsPair pair) {
                   return equalsIgnoringCase(pair.hosts, path);
               });
    };
    return {isWithinFindingsReach, isFindingFilePath, isHosts};
}

void BrowserRepair::withHivesLoaded(
    std::vector<RegistryFileSection> sections, FailureLog& failures,
    const std::function<void(std::vector<RegistryFileSection>&)>& act) {
    if (const auto programUser = platform_.ProgramUserSid(); programUser.ok()) {
        nameCurrentUserAsCurrent(sections, programUser.value());
    }
    const auto users = usersNamedIn(sections);
    std::optional<UserHives> hives;
    if (!users.empty()) {
        hives.emplace(platform_, failures, users);
        nameHivesAsLoaded(sections, hives->hives());
    }
    act(sections);
}

// Read once the run is over, with the hives it loaded unloaded again: what
// the run's backups hold now is what the run saved, and the registry and the
// HOSTS files hold what it left.
RunChanges BrowserRepair::changesOfThisRun(FailureLog& failures) {
    RunChanges changes;
    if (thisRun_.registryBackup) {
        const auto backup =
            platform_.ReadFileContent(registryBackupFile(), kMaxRegistryBackupBytes);
        auto parsed = backup.ok() ? readRegistryFile(backup.value())
                                  : decltype(readRegistryFile("")){RegistryFileProblem{}};
        if (auto* sections = std::get_if<std::vector<RegistryFileSection>>(&parsed)) {
            const auto items = registryItems(*sections);
            withHivesLoaded(*sections, failures, [&](std::vector<RegistryFileSection>& loaded) {
                const auto states = readItemStates(platform_, loaded, items,
                                                   platform_.HasTwoRegistryViews(), failures);
                changes.registryLeft = itemStatesAsSections(*sections, items, states);
            });
            changes.registryBackup = backup.value();
        } else {
            failures.add(registryBackupFile(), backup.ok()
                                                   ? std::wstring(texts::kRunManifestRefused)
                                                   : platform_.DescribeError(backup.error()));
        }
    }
    const auto place = fileBackupPlace();
    const auto manifest = platform_.ReadFileContent(
        place.folder + L"\\" + std::wstring(kFileManifestName), kMaxFileManifestBytes);
    if (!changes.registryBackup.empty() && manifest.ok() &&
        manifest.value() != thisRun_.fileManifestBefore) {
        changes.files = readFileBackups(platform_, place, isFindingFilePath, failures);
    }
    for (const auto pair : thisRun_.hostsReplaced) {
        const auto saved = platform_.ReadFileContent(pair.backup, kMaxBackedUpFileBytes);
        const auto left = platform_.ReadFileContent(pair.hosts, kMaxBackedUpFileBytes);
        if (!saved.ok() || !left.ok()) {
            failures.add(pair.hosts, saved.ok() ? left.error() : saved.error());
            continue;
        }
        changes.hosts.push_back({std::wstring(pair.hosts), saved.value(), left.value()});
    }
    return changes;
}

void BrowserRepair::writeThisRunsSet(FailureLog& failures) {
    if (!paths_.ok()) {
        return;
    }
    const auto changes = changesOfThisRun(failures);
    if (changes.holdsNothing()) {
        return;
    }
    RunSetManifest manifest;
    manifest.madeAt = platform_.LocalTimeNow();
    manifest.everyUser = request_.everyUser;
    manifest.switches = switchesOf(request_.offeredKinds);
    writeRunSet(platform_, runSetsFolder(), std::move(manifest), changes, fileBackupPlace(),
                runSetReach(), failures);
}

}  // namespace tovask
