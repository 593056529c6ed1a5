#include "repair/findings/FindingsRun.h"

#include <algorithm>
#include <iterator>
#include <variant>

#include "repair/backup/RegistryBackup.h"
#include "repair/findings/FindingKinds.h"
#include "repair/findings/FindingWords.h"
#include "repair/findings/PutBackTogether.h"
#include "repair/paths/ShortcutFolders.h"
#include "repair/startup/StartupCommand.h"

namespace tovask {
namespace {

constexpr std::size_t kAllLines = static_cast<std::size_t>(-1);

void appendLines(ProgressView& view, const std::vector<std::wstring>& lines) {
    for (const auto& line : lines) {
        view.appendLine(line);
    }
}

Outcome outcomeOf(bool repaired) {
    return repaired ? Outcome::Repaired : Outcome::NotRepaired;
}

std::vector<Finding> ofKind(std::span<const Finding> findings, FindingKind kind) {
    std::vector<Finding> chosen;
    std::ranges::copy_if(findings, std::back_inserter(chosen),
                         [&](const Finding& finding) { return finding.kind == kind; });
    return chosen;
}

// The findings the run offers, by id, and the consent that chooses among them.
struct Offer {
    std::set<FindingId> offered;
    const FindingsConsent& consent;
};

// The repairable findings offered, or those not offered.
std::vector<Finding> offeredOnly(const Offer& offer, std::span<const Finding> findings,
                                 bool offered) {
    std::vector<Finding> chosen;
    std::ranges::copy_if(findings, std::back_inserter(chosen), [&](const Finding& finding) {
        return finding.repairable && offer.offered.contains(finding.id()) == offered;
    });
    return chosen;
}

// The findings the offer leaves out: the report-only ones and the
// repairable ones not offered.
std::vector<Finding> notOffered(const Offer& offer, std::span<const Finding> findings) {
    auto left = offeredOnly(offer, findings, false);
    std::ranges::copy_if(findings, std::back_inserter(left),
                         [](const Finding& finding) { return !finding.repairable; });
    return left;
}

// The ids the consent chose of the offer, and only those: an answer naming
// anything else repairs nothing more.
std::vector<FindingId> chosenOf(const Offer& offer, std::span<const Finding> offered,
                                std::span<const Finding> all) {
    if (offered.empty()) {
        return {};
    }
    const auto reportOnly = notOffered(offer, all);
    auto chosen = offer.consent({offered, reportOnly});
    const auto offeredIds = idsOf(offered);
    std::erase_if(chosen, [&](FindingId id) {
        return std::ranges::find(offeredIds, id) == offeredIds.end();
    });
    std::ranges::sort(chosen);
    chosen.erase(std::ranges::unique(chosen).begin(), chosen.end());
    return chosen;
}

// Those of the findings whose ids are among `ids`, or those whose are not.
std::vector<Finding> withIds(std::span<const Finding> findings, std::span<const FindingId> ids,
                             bool within) {
    std::vector<Finding> chosen;
    std::ranges::copy_if(findings, std::back_inserter(chosen), [&](const Finding& finding) {
        return (std::ranges::find(ids, finding.id()) != ids.end()) == within;
    });
    return chosen;
}

// Each finding's line says what became of it, and the summary counts it.
void reportEach(ProgressView& view, RunSummary& summary, std::span<const Finding> findings,
                Outcome outcome) {
    for (const auto& finding : findings) {
        const auto& texts = rowOf(finding.kind).texts;
        view.appendLine(outcomeLine(finding, texts, outcome));
        view.recordOutcome(finding, outcome);
        summary.count(finding, texts.repairedCount, outcome);
    }
}

// Tells what became of each finding the kinds repair, known by its id among
// the run's. A lock removed from the registry is not said to be removed
// while a local policy file that was left as it was puts it back: the files
// are repaired first.
class RepairOutcomes {
  public:
    RepairOutcomes(ProgressView& view, RunSummary& summary, std::span<const Finding> run)
        : view_(view), summary_(summary), run_(run) {}

    void report(std::span<const Finding> reported, bool done) {
        for (const auto& finding : reported) {
            const auto* stays = done ? stayingPolicyFileOf(run_, finding, repaired_) : nullptr;
            if (stays != nullptr) {
                view_.appendLine(putBackLine(finding, *stays));
                view_.recordOutcome(finding, Outcome::NotRepaired);
                summary_.count(finding, {}, Outcome::NotRepaired);
                continue;
            }
            if (done) {
                repaired_.insert(finding.id());
            }
            reportEach(view_, summary_, std::span(&finding, 1), outcomeOf(done));
        }
    }

  private:
    ProgressView& view_;
    RunSummary& summary_;
    std::span<const Finding> run_;
    std::set<FindingId> repaired_;
};

// The findings by browser or place, as the findings dialog groups them, after
// the reason a managed machine keeps them and what each kind found adds to it.
void reportByGroup(ProgressView& view, const RunFindings& findings, std::span<const Finding> all) {
    view.recordFindings(all, findings.managed.managedBecause);
    if (findings.managed.managedBecause) {
        view.appendLine(*findings.managed.managedBecause);
        for (const auto* kind : findingKinds()) {
            if (!kind->texts.managedNote.empty() && !ofKind(all, kind->kind).empty()) {
                view.appendLine(kind->texts.managedNote);
            }
        }
    }
    appendLines(view, findingLines(all, kAllLines, all));
}

// What the earlier run's backup holds, kept ahead of this repair's sections.
std::optional<std::vector<RegistryFileSection>> backupSoFar(PlatformOps& platform,
                                                            std::wstring_view backupFile,
                                                            FailureLog& failures) {
    auto loaded = loadRegistryBackup(platform, backupFile, isWithinFindingsReach);
    if (const auto* refused = std::get_if<RefusedRegistryBackup>(&loaded)) {
        failures.add(backupFile, refused->reason);
        return std::nullopt;
    }
    if (auto* sections = std::get_if<std::vector<RegistryFileSection>>(&loaded)) {
        return std::move(*sections);
    }
    return std::vector<RegistryFileSection>{};
}

// What the kinds the row reads found, in the order they were found.
std::vector<Finding> findingsReadBy(const FindingKindRow& row, std::span<const KindFound> found) {
    std::vector<Finding> read;
    for (const auto& before : found) {
        if (std::ranges::find(row.readsFindingsOf, before.row->kind) != row.readsFindingsOf.end()) {
            std::ranges::move(before.found->findings(), std::back_inserter(read));
        }
    }
    return read;
}

}  // namespace

std::vector<Finding> RunFindings::all() const {
    auto findings = managed.unverifiedEnrollments;
    for (const auto& kind : kinds) {
        std::ranges::move(kind.found->findings(), std::back_inserter(findings));
    }
    forgetUnreadFilesWithoutLocks(findings);
    tiePutBackTogether(findings);
    for (auto& finding : findings) {
        if (allowList.allows(finding)) {
            finding.allowed = true;
            finding.repairable = false;
        }
    }
    return findings;
}

RunFindings lookForFindings(PlatformOps& platform, ManagedMachine managed,
                            std::span<const std::wstring> userHives, bool everyUser,
                            FailureLog& failures, AllowList allowList) {
    UserFoldersOfThisRun userFolders(platform, failures);
    FindingScope scope{.userHives = userHives,
                       .userFolders = userFolders,
                       .everyUser = everyUser,
                       .managedMachine = managed.managedBecause.has_value(),
                       .foundBefore = {},
                       .isStartupHijack = isRepairableStartupHijack};
    RunFindings findings{std::move(managed), {}, std::move(allowList)};
    for (const auto* kind : findingKinds()) {
        const auto read = findingsReadBy(*kind, findings.kinds);
        scope.foundBefore = read;
        findings.kinds.push_back({kind, kind->find(platform, scope, failures)});
    }
    return findings;
}

std::size_t reportFindingsToCheck(ProgressView& view, const RunFindings& findings,
                                  const FindingsAnswer& asked) {
    const auto all = findings.all();
    if (all.empty()) {
        return 0;
    }
    const Offer offer{offeredWithWhatPutsBack(all, asked.offeredKinds), asked.consent};
    reportByGroup(view, findings, all);
    const auto offered = offeredOnly(offer, all, true);
    const auto chosen = chosenOf(offer, offered, all);
    for (const auto* kind : findingKinds()) {
        const auto repairable = repairableOnly(ofKind(all, kind->kind));
        if (std::ranges::any_of(repairable,
                                [&](const Finding& finding) { return !isKept(finding, chosen); })) {
            view.appendLine(kind->texts.notCounted);
        }
    }
    return chosen.size();
}

RunSummary repairFindingsWithConsent(PlatformOps& platform, ProgressView& view,
                                     RunFindings findings, const FindingsAnswer& asked,
                                     const FileBackupPlace& backups,
                                     const BackupNaming& nameForBackup, FailureLog& failures) {
    const std::wstring_view backupFile = backups.registryBackup;
    RunSummary summary;
    const auto all = findings.all();
    if (all.empty()) {
        return summary;
    }
    // Taken before the kinds forget what was not chosen.
    const Offer offer{offeredWithWhatPutsBack(all, asked.offeredKinds), asked.consent};
    view.appendLine(L"");
    reportByGroup(view, findings, all);
    // What only the person can put back; an organisation's own settings are not theirs to do.
    if (!findings.managed.managedBecause) {
        for (const auto& finding : all) {
            const auto action = rowOf(finding.kind).texts.whatYouCanDo;
            if (!finding.repairable && !finding.allowed && !action.empty()) {
                summary.leftToDo(finding, findingTitle(finding), action);
            }
        }
    }
    reportEach(view, summary, offeredOnly(offer, all, false), Outcome::Left);
    const auto offered = offeredOnly(offer, all, true);
    const auto chosen = chosenOf(offer, offered, all);
    const auto repairable = withIds(offered, chosen, true);
    reportEach(view, summary, withIds(offered, chosen, false), Outcome::Left);
    if (repairable.empty()) {
        return summary;
    }
    FileBackup files(platform, backups, isFindingFilePath);
    files.noteRegistryBackup();
    auto backup = backupSoFar(platform, backupFile, failures);
    if (!backup) {
        reportEach(view, summary, repairable, Outcome::NotRepaired);
        return summary;
    }
    // Only the kinds with findings to repair back up, repair and announce.
    std::vector<KindFindings*> repairing;
    for (const auto& kind : findings.kinds) {
        if (!ofKind(repairable, kind.row->kind).empty()) {
            kind.found->keepOnly(chosen);
            kind.found->getReady(platform, view);
            repairing.push_back(kind.found.get());
        }
    }
    std::vector<RegistryFileSection> added;
    std::vector<Finding> unsaved;
    for (auto* kind : repairing) {
        std::ranges::move(kind->addRegistryBackup(added, failures), std::back_inserter(unsaved));
    }
    nameForBackup(added);
    const auto earlierSections = backup->size();
    std::ranges::move(added, std::back_inserter(*backup));
    if (const auto error = saveRegistryBackup(platform, *backup, backupFile)) {
        failures.add(backupFile, error);
        reportEach(view, summary, repairable, Outcome::NotRepaired);
        return summary;
    }
    reportEach(view, summary, unsaved, Outcome::NotRepaired);
    RepairOutcomes outcomes(view, summary, all);
    const OutcomeReport report = [&](std::span<const Finding> reported, bool done) {
        outcomes.report(reported, done);
    };
    BackupAtRemoval atRemoval(platform, std::wstring(backupFile), std::move(*backup),
                              earlierSections, nameForBackup);
    RemovalsAsTaken removing(platform, &atRemoval);
    for (auto* kind : repairing) {
        kind->repair(removing, files, report, failures);
        kind->announce(removing, view, failures);
    }
    return summary;
}

bool isFindingFilePath(std::wstring_view path) {
    return kindOwningFile(path) != nullptr;
}

bool isWithinFindingsReach(const RegistryFileSection& section, bool hasTwoViews) {
    return kindReaching(section, hasTwoViews) != nullptr;
}

}  // namespace tovask
