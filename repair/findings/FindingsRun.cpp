#include "repair/findings/FindingsRun.h"

#include <algorithm>
#include <iterator>
#include <variant>

#include "repair/backup/RegistryBackup.h"
#include "repair/network/NetworkRepair.h"
#include "repair/network/NetworkTexts.h"
#include "repair/report/FindingTexts.h"
#include "repair/shortcuts/ShortcutTexts.h"
#include "repair/texts/ProgramTexts.h"

namespace tovask {
namespace {

// The consent box lists at most this many lines, then how many more.
constexpr std::size_t kQuestionLines = 15;
constexpr std::size_t kAllLines = static_cast<std::size_t>(-1);

void appendLines(ProgressView& view, const std::vector<std::wstring>& lines) {
    for (const auto& line : lines) {
        view.appendLine(line);
    }
}

// What became of a finding the run reports: its line says it.
enum class Outcome { Repaired, NotRepaired, Left };

Outcome outcomeOf(bool repaired) {
    return repaired ? Outcome::Repaired : Outcome::NotRepaired;
}

// What the report says of each kind of finding.
struct KindTexts {
    FindingKind kind;
    std::wstring_view heading;
    std::wstring_view notCounted;
    std::wstring_view repairedPrefix;
    std::wstring_view notRepairedPrefix;
    std::wstring_view leftPrefix;

    std::wstring_view prefixFor(Outcome outcome) const {
        return outcome == Outcome::Repaired      ? repairedPrefix
               : outcome == Outcome::NotRepaired ? notRepairedPrefix
                                                 : leftPrefix;
    }
};

constexpr KindTexts kKindTexts[] = {
    {FindingKind::BrowserPolicy, texts::kFindingsHeading, texts::kFindingsNotCounted,
     texts::kFindingRepairedPrefix, texts::kFindingNotRepairedPrefix, texts::kFindingLeftPrefix},
    {FindingKind::Network, texts::kNetworkHeading, texts::kNetworkNotCounted,
     texts::kNetworkRepairedPrefix, texts::kNetworkNotRepairedPrefix, texts::kNetworkLeftPrefix},
    {FindingKind::Shortcut, texts::kShortcutsHeading, texts::kShortcutsNotCounted,
     texts::kShortcutRepairedPrefix, texts::kShortcutNotRepairedPrefix, texts::kShortcutLeftPrefix},
};

const KindTexts& textsOf(FindingKind kind) {
    return *std::ranges::find(kKindTexts, kind, &KindTexts::kind);
}

std::vector<Finding> ofKind(std::span<const Finding> findings, FindingKind kind) {
    std::vector<Finding> chosen;
    std::ranges::copy_if(findings, std::back_inserter(chosen),
                         [&](const Finding& finding) { return finding.kind == kind; });
    return chosen;
}

// The repairable findings the view offers to repair, or those it does not.
std::vector<Finding> offeredOnly(const ProgressView& view, std::span<const Finding> findings,
                                 bool offered) {
    auto chosen = repairableOnly(findings);
    std::erase_if(chosen, [&](const Finding& finding) {
        return view.offersRepairOf(finding.kind) != offered;
    });
    return chosen;
}

void reportEach(ProgressView& view, std::span<const Finding> findings, Outcome outcome) {
    for (const auto& finding : findings) {
        view.appendLine(std::wstring(textsOf(finding.kind).prefixFor(outcome)) + finding.place);
    }
}

// Each kind under its heading, with the reason a managed machine keeps them.
void reportByKind(ProgressView& view, const RunFindings& findings, std::span<const Finding> all) {
    for (const auto& kind : kKindTexts) {
        const auto findingsOfKind = ofKind(all, kind.kind);
        if (findingsOfKind.empty()) {
            continue;
        }
        view.appendLine(kind.heading);
        if (findings.managed.managedBecause) {
            view.appendLine(*findings.managed.managedBecause);
            if (kind.kind == FindingKind::Network) {
                view.appendLine(texts::kManagedNetworkLeft);
            }
        }
        appendLines(view, findingLines(findingsOfKind, kAllLines));
    }
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

void askForPolicyRefresh(PlatformOps& platform, ProgressView& view) {
    if (platform.RefreshPolicy()) {
        view.appendLine(texts::kPolicyRefreshUnavailable);
    }
    view.appendLine(texts::kRestartBrowsers);
}

// Programs read the Internet settings again, and names resolve by the new
// servers, now rather than after a restart.
void announceNetworkChanges(PlatformOps& platform, ProgressView& view, bool internetSettings,
                            bool dns, FailureLog& failures) {
    if (internetSettings) {
        const auto error = platform.AnnounceInternetSettingsChanged();
        // The notice was taken and the registry holds the change: the
        // programs that cannot reread it now do at their next start.
        if (error == std::errc::function_not_supported) {
            view.appendLine(texts::kInternetSettingsNotReread);
        } else if (error) {
            failures.add(texts::kInternetSettingsTarget, error);
        }
    }
    if (dns) {
        if (const auto error = platform.FlushDnsCache()) {
            failures.add(texts::kDnsCacheTarget, error);
        }
    }
}

// The policy keys to repair, their backup added; a key whose names no backup
// can hold is left, its findings added to `unsaved`.
std::vector<const LockedPolicyKey*> policyKeysToRepair(const RunFindings& findings,
                                                       std::vector<RegistryFileSection>& added,
                                                       std::vector<Finding>& unsaved,
                                                       FailureLog& failures) {
    std::vector<const LockedPolicyKey*> chosen;
    for (const auto& key : findings.policyKeys) {
        auto sections = backupSectionsFor(key, failures);
        if (sections.empty()) {
            std::ranges::move(repairableOnly(findingsOf(std::span(&key, 1), true)),
                              std::back_inserter(unsaved));
        } else {
            chosen.push_back(&key);
            std::ranges::move(sections, std::back_inserter(added));
        }
    }
    return chosen;
}

// The network findings the view offers to repair, their backup added; none
// when a name cannot be written to the backup, and then every one is added
// to `unsaved`.
std::vector<const NetworkFinding*> networkToRepair(const ProgressView& view,
                                                   const RunFindings& findings,
                                                   std::vector<RegistryFileSection>& added,
                                                   std::vector<Finding>& unsaved,
                                                   FailureLog& failures) {
    if (!view.offersRepairOf(FindingKind::Network)) {
        return {};
    }
    // Only repairable findings carry edits.
    auto sections = backupSectionsFor(findings.network);
    if (const auto name = firstUnwritableName(sections)) {
        failures.add(*name, std::make_error_code(std::errc::invalid_argument));
        std::ranges::move(repairableOnly(findingsOf(findings.network)),
                          std::back_inserter(unsaved));
        return {};
    }
    std::ranges::move(sections, std::back_inserter(added));
    std::vector<const NetworkFinding*> chosen;
    for (const auto& found : findings.network) {
        if (found.finding.repairable) {
            chosen.push_back(&found);
        }
    }
    return chosen;
}

// Each shortcut the view offers to repair, its bytes copied first.
void repairShortcuts(PlatformOps& platform, ProgressView& view, const RunFindings& findings,
                     FileBackup& files, FailureLog& failures) {
    if (!view.offersRepairOf(FindingKind::Shortcut)) {
        return;
    }
    const bool managed = findings.managed.managedBecause.has_value();
    for (const auto& shortcut : findings.shortcuts) {
        const auto finding = findingsOf(std::span(&shortcut, 1), managed);
        if (finding.front().repairable) {
            const bool repaired = repairShortcut(platform, shortcut, files, failures);
            reportEach(view, finding, outcomeOf(repaired));
        }
    }
}

}  // namespace

std::vector<Finding> RunFindings::all() const {
    auto findings = managed.unverifiedEnrollments;
    auto locks = findingsOf(policyKeys, !managed.managedBecause);
    std::ranges::move(locks, std::back_inserter(findings));
    auto fileLocks = findingsOf(policyFiles, !managed.managedBecause);
    std::ranges::move(fileLocks, std::back_inserter(findings));
    std::ranges::copy(autoconfigScripts, std::back_inserter(findings));
    std::ranges::move(findingsOf(network), std::back_inserter(findings));
    std::ranges::move(findingsOf(shortcuts, managed.managedBecause.has_value()),
                      std::back_inserter(findings));
    return findings;
}

RunFindings lookForFindings(PlatformOps& platform, std::span<const std::wstring> userHives,
                            bool everyUser, FailureLog& failures) {
    RunFindings findings{decideManagedMachine(platform, failures),
                         findLockedPolicyKeys(platform, userHives, failures),
                         {},
                         {},
                         {},
                         {}};
    const auto firefoxFolders = firefoxInstallFolders(platform, failures);
    findings.policyFiles = findLockedPolicyFiles(platform, firefoxFolders, failures);
    findings.autoconfigScripts = findAutoconfigScripts(platform, firefoxFolders, failures);
    std::vector<std::wstring> networkHives(userHives.begin(), userHives.end());
    if (everyUser) {
        networkHives.emplace_back(L"HKU\\.DEFAULT");
        networkHives.emplace_back(L"HKU\\S-1-5-18");
    }
    findings.network = findNetworkSettings(platform, networkHives,
                                           findings.managed.managedBecause.has_value(), failures);
    findings.shortcuts = findHijackedShortcuts(platform, userHives, failures);
    return findings;
}

bool reportFindingsToCheck(ProgressView& view, const RunFindings& findings) {
    const auto all = findings.all();
    if (all.empty()) {
        return false;
    }
    reportByKind(view, findings, all);
    const auto offered = offeredOnly(view, all, true);
    const bool counted =
        !offered.empty() && view.askToRepairFindings(findingLines(offered, kQuestionLines));
    for (const auto& kind : kKindTexts) {
        const auto repairable = repairableOnly(ofKind(all, kind.kind));
        if (!repairable.empty() && !(counted && view.offersRepairOf(kind.kind))) {
            view.appendLine(kind.notCounted);
        }
    }
    return counted;
}

void repairFindingsWithConsent(PlatformOps& platform, ProgressView& view,
                               const RunFindings& findings, const FileBackupPlace& backups,
                               const BackupNaming& nameForBackup, FailureLog& failures) {
    const std::wstring_view backupFile = backups.registryBackup;
    const auto all = findings.all();
    if (all.empty()) {
        return;
    }
    view.appendLine(L"");
    reportByKind(view, findings, all);
    reportEach(view, offeredOnly(view, all, false), Outcome::Left);
    const auto repairable = offeredOnly(view, all, true);
    if (repairable.empty()) {
        return;
    }
    if (!view.askToRepairFindings(findingLines(repairable, kQuestionLines))) {
        reportEach(view, repairable, Outcome::Left);
        return;
    }
    FileBackup files(platform, backups, isFindingFilePath);
    files.noteRegistryBackup();
    auto backup = backupSoFar(platform, backupFile, failures);
    if (!backup) {
        reportEach(view, repairable, Outcome::NotRepaired);
        return;
    }
    const bool repairsPolicies = !ofKind(repairable, FindingKind::BrowserPolicy).empty();
    std::vector<RegistryFileSection> added;
    std::vector<Finding> unsaved;
    const auto backedUp = repairsPolicies ? policyKeysToRepair(findings, added, unsaved, failures)
                                          : std::vector<const LockedPolicyKey*>{};
    const auto network = networkToRepair(view, findings, added, unsaved, failures);
    nameForBackup(added);
    std::ranges::move(added, std::back_inserter(*backup));
    if (const auto error = saveRegistryBackup(platform, *backup, backupFile)) {
        failures.add(backupFile, error);
        reportEach(view, repairable, Outcome::NotRepaired);
        return;
    }
    reportEach(view, unsaved, Outcome::NotRepaired);
    for (const auto* key : backedUp) {
        const bool repaired = removeLocks(platform, *key, failures);
        reportEach(view, repairableOnly(findingsOf(std::span(key, 1), true)), outcomeOf(repaired));
    }
    if (repairsPolicies) {
        for (const auto& file : findings.policyFiles) {
            const bool repaired = removeFileLocks(platform, file, files, failures);
            reportEach(view, findingsOf(std::span(&file, 1), true), outcomeOf(repaired));
        }
        askForPolicyRefresh(platform, view);
    }
    bool internetSettings = false;
    bool dns = false;
    for (const auto* found : network) {
        const auto repair = repairNetworkFinding(platform, *found, failures);
        internetSettings =
            internetSettings || (repair.changed && found->area == NetworkArea::InternetSettings);
        dns = dns || (repair.changed && found->area == NetworkArea::Dns);
        reportEach(view, std::span(&found->finding, 1), outcomeOf(repair.repaired));
    }
    announceNetworkChanges(platform, view, internetSettings, dns, failures);
    repairShortcuts(platform, view, findings, files, failures);
}

bool isFindingFilePath(std::wstring_view path) {
    return isPolicyFilePath(path) || isShortcutPath(path);
}

bool isWithinFindingsReach(const RegistryFileSection& section, bool hasTwoViews) {
    return withinPolicyReach(section, hasTwoViews) || withinNetworkReach(section, hasTwoViews);
}

}  // namespace tovask
