#include <optional>

#include "repair/run/BrowserRepair.h"
#include "repair/texts/ProgramTexts.h"
#include "repair/users/HiveNames.h"
#include "repair/users/RepairLock.h"

namespace tovask {

RunOutcome BrowserRepair::checkWhatNeedsRepair() {
    // Users' hives are loaded only under the lock, so that no repair or undo
    // loads or unloads them meanwhile.
    std::optional<RepairLock> lock;
    if (everyUser_) {
        lock.emplace(platform_);
        if (lock->error()) {
            return shownAfterTheLock(reportLockFailure(lock->error()));
        }
    }
    FailureLog failures(platform_);
    std::vector<std::wstring> toRepair;
    if (!paths_.ok()) {
        failures.add(registryBackupFile(), paths_.error());
    } else {
        std::optional<UserHives> everyone;
        const auto userHives = userHivesFor(everyone, failures);
        // Compared with what the repair with the same start page leaves.
        const auto changes = plannedChangesFor(userHives, chosenStartPage(), failures);
        const auto captured = captureRegistry(platform_, changes);
        toRepair = captured.differences;
        if (everyone) {
            nameHivesBySid(toRepair, everyone->hives());
        }
        for (const auto& skipped : captured.skipped) {
            failures.add(skipped.entry, skipped.reason);
        }
        for (auto& hosts : hostsFilesToRepair(failures)) {
            toRepair.push_back(std::move(hosts));
        }
    }
    view_.clearList();
    for (const auto& entry : toRepair) {
        view_.appendLine(std::wstring(texts::kNeedsRepairPrefix) + entry);
    }
    appendErrorLines(failures);
    view_.appendLine(toRepair.empty() ? std::wstring(texts::kNothingToRepair)
                                      : std::wstring(texts::kEntriesToRepairPrefix) +
                                            std::to_wstring(toRepair.size()));
    if (!failures.entries().empty()) {
        return RunOutcome::DoneWithFailures;
    }
    return toRepair.empty() ? RunOutcome::Done : RunOutcome::RepairNeeded;
}

// The HOSTS files that exist and differ from the default content.
std::vector<std::wstring> BrowserRepair::hostsFilesToRepair(FailureLog& failures) {
    std::vector<std::wstring> differing;
    for (const auto pair : hostsPairs(paths_.value())) {
        const auto exists = platform_.FileExists(pair.hosts);
        if (exists.ok() && !exists.value()) {
            continue;
        }
        const auto isDefault = platform_.FileHasContent(pair.hosts, defaultHostsContent());
        if (!isDefault.ok()) {
            if (!isNotFound(isDefault.error())) {
                failures.add(pair.hosts, isDefault.error());
            }
        } else if (!isDefault.value()) {
            differing.emplace_back(pair.hosts);
        }
    }
    return differing;
}

}  // namespace tovask
