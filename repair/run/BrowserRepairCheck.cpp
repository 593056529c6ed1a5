#include <optional>

#include "repair/backup/HiveNames.h"
#include "repair/findings/FindingsRun.h"
#include "repair/run/BrowserRepair.h"
#include "repair/texts/ProgramTexts.h"
#include "repair/users/RepairLock.h"
#include "text/DecimalText.h"

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
    std::optional<RunFindings> findings;
    std::optional<UserHives> everyone;
    // Compared with what the repair with the same start page leaves.
    if (const auto start = readRegistryFor(chosenStartPage(), everyone, failures)) {
        toRepair = start->captured.differences;
        if (everyone) {
            nameHivesBySid(toRepair, everyone->hives());
        }
        for (auto& hosts : hostsFilesToRepair(failures)) {
            toRepair.push_back(std::move(hosts));
        }
        findings = lookForFindings(platform_, start->userHives, everyUser_, failures);
    }
    view_.clearList();
    for (const auto& entry : toRepair) {
        view_.appendLine(std::wstring(texts::kNeedsRepairPrefix) + entry);
    }
    appendErrorLines(failures);
    view_.appendLine(toRepair.empty() ? std::wstring(texts::kNothingToRepair)
                                      : std::wstring(texts::kEntriesToRepairPrefix) +
                                            decimalText(toRepair.size()));
    const bool findingsCount = findings && reportFindingsToCheck(view_, *findings);
    if (!failures.entries().empty()) {
        return RunOutcome::DoneWithFailures;
    }
    return toRepair.empty() && !findingsCount ? RunOutcome::Done : RunOutcome::RepairNeeded;
}

// The HOSTS files that exist and differ from the default content.
std::vector<std::wstring> BrowserRepair::hostsFilesToRepair(FailureLog& failures) {
    std::vector<std::wstring> differing;
    for (const auto pair : hostsPairs(paths_.value())) {
        const auto content = probeHostsFile(platform_, pair.hosts);
        if (!content.ok()) {
            if (!isNotFound(content.error())) {
                failures.add(pair.hosts, content.error());
            }
        } else if (content.value() == HostsContent::Other) {
            differing.emplace_back(pair.hosts);
        }
    }
    return differing;
}

}  // namespace tovask
