#include "repair/backup/RemovableValues.h"

#include "platform/PlatformOps.h"
#include "repair/report/FailureLog.h"

namespace tovask {

std::vector<Finding> RemovableValueFindings::findings() const {
    std::vector<Finding> findings;
    for (const auto& value : values_) {
        findings.push_back(value.finding);
    }
    return findings;
}

void RemovableValueFindings::keepOnly(std::span<const FindingId> chosen) {
    keepChosen(values_, findings(), chosen);
}

std::vector<Finding> RemovableValueFindings::addRegistryBackup(
    std::vector<RegistryFileSection>& sections, FailureLog&) {
    for (const auto& value : values_) {
        if (value.finding.repairable) {
            sections.push_back(value.backup);
        }
    }
    backedUp_ = true;
    return {};
}

void RemovableValueFindings::repair(PlatformOps& platform, FileBackup&, const OutcomeReport& report,
                                    FailureLog& failures) {
    for (const auto& value : values_) {
        if (!backedUp_ || !value.finding.repairable) {
            continue;
        }
        const auto error =
            value.writtenInstead
                ? platform.RegWriteRaw(value.keyPath, value.valueName, *value.writtenInstead,
                                       value.view)
                : platform.RegDeleteValueIn(value.keyPath, value.valueName, value.view);
        const bool removed = !error || isNotFound(error);
        if (!removed) {
            failures.add(value.keyPath + value.valueName, error);
        }
        report(std::span(&value.finding, 1), removed);
    }
}

}  // namespace tovask
