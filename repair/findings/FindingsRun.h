#pragma once

#include <functional>
#include <memory>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PlatformOps.h"
#include "repair/allow/AllowList.h"
#include "repair/backup/BackupAtRemoval.h"
#include "repair/backup/RegistryFile.h"
#include "repair/backup/files/FileBackup.h"
#include "repair/findings/ManagedMachine.h"
#include "repair/report/FailureLog.h"
#include "repair/report/Finding.h"
#include "repair/report/FindingKindRow.h"
#include "repair/report/ProgressView.h"
#include "repair/report/RunRequest.h"
#include "repair/report/RunSummary.h"

namespace tovask {

// What one kind found.
struct KindFound {
    const FindingKindRow* row;
    std::unique_ptr<KindFindings> found;
};

// The findings beyond Internet Explorer for one run's users, with the
// managed-machine decision made once for all of them.
struct RunFindings {
    ManagedMachine managed;
    std::vector<KindFound> kinds;  // in the order of findingKinds()
    // What the organisation and the person declare their own.
    AllowList allowList{};

    // Report-only ones included; none may be repaired on a managed machine.
    // Each lock is tied to what puts it back. A local policy file that could
    // not be read comes only with a lock in its hives. Those the allow list
    // allows are marked so, and report-only.
    std::vector<Finding> all() const;
};

// Each kind looks in turn. The managed-machine decision is the run's, made
// before its registry phase, and so is its allow list.
RunFindings lookForFindings(PlatformOps& platform, ManagedMachine managed,
                            std::span<const std::wstring> userHives, bool everyUser,
                            FailureLog& failures, AllowList allowList = {});

// The kinds whose repair the run may offer, and the answer to the offer. A
// finding that puts back one of an offered kind, or that one puts back, is
// offered with it (offeredWithWhatPutsBack).
struct FindingsAnswer {
    const std::set<FindingKind>& offeredKinds;
    const FindingsConsent& consent;
};

// Lists the findings, each kind under its own heading. Gives how many
// repairable findings count towards the check: those of the offered kinds
// that the consent would have chosen.
std::size_t reportFindingsToCheck(ProgressView& view, const RunFindings& findings,
                                  const FindingsAnswer& answer);

// Asks the consent which of the repairable findings of the offered kinds to
// repair, and reports the others as left; adds what puts the chosen back to the run's registry
// backup and copies the files they change into its file backups, then repairs them, tells the
// system (policy refresh, Internet settings notice, DNS cache flush) and reports each. Shortcuts
// are copied to the file backups before their new bytes replace them. Gives what became of
// each, counted per browser or place.
RunSummary repairFindingsWithConsent(PlatformOps& platform, ProgressView& view,
                                     RunFindings findings, const FindingsAnswer& answer,
                                     const FileBackupPlace& backups,
                                     const BackupNaming& nameForBackup, FailureLog& failures);

// What the file backups of the findings may name, for the repair and the undo.
bool isFindingFilePath(std::wstring_view path);
// What the findings' repairs add to the registry backup beyond the plan.
bool isWithinFindingsReach(const RegistryFileSection& section, bool hasTwoViews);

}  // namespace tovask
