#include "repair/findings/FindingsRun.h"

#include <algorithm>
#include <iterator>
#include <variant>

#include "repair/backup/RegistryBackup.h"
#include "repair/findings/FindingTexts.h"

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

void reportEach(ProgressView& view, std::span<const Finding> findings, std::wstring_view prefix) {
    for (const auto& finding : findings) {
        view.appendLine(std::wstring(prefix) + finding.place);
    }
}

// What the earlier run's backup holds, kept ahead of this repair's sections.
std::optional<std::vector<RegistryFileSection>> backupSoFar(PlatformOps& platform,
                                                            std::wstring_view backupFile,
                                                            FailureLog& failures) {
    auto loaded = loadRegistryBackup(platform, backupFile);
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

}  // namespace

std::vector<Finding> RunFindings::all() const {
    auto findings = managed.fakeEnrollments;
    auto locks = findingsOf(policyKeys, !managed.managedBecause);
    std::ranges::move(locks, std::back_inserter(findings));
    auto fileLocks = findingsOf(policyFiles, !managed.managedBecause);
    std::ranges::move(fileLocks, std::back_inserter(findings));
    std::ranges::copy(autoconfigScripts, std::back_inserter(findings));
    return findings;
}

RunFindings lookForFindings(PlatformOps& platform, std::span<const std::wstring> userHives,
                            FailureLog& failures) {
    RunFindings findings{decideManagedMachine(platform, failures),
                         findLockedPolicyKeys(platform, userHives, failures),
                         {},
                         {}};
    const auto firefoxFolders = firefoxInstallFolders(platform, failures);
    findings.policyFiles = findLockedPolicyFiles(platform, firefoxFolders, failures);
    findings.autoconfigScripts = findAutoconfigScripts(platform, firefoxFolders, failures);
    return findings;
}

bool reportFindingsToCheck(ProgressView& view, const RunFindings& findings) {
    const auto all = findings.all();
    if (all.empty()) {
        return false;
    }
    view.appendLine(texts::kFindingsHeading);
    if (findings.managed.managedBecause) {
        view.appendLine(*findings.managed.managedBecause);
    }
    appendLines(view, findingLines(all, kAllLines));
    const auto repairable = repairableOnly(all);
    if (repairable.empty()) {
        return false;
    }
    if (view.askToRepairFindings(findingLines(repairable, kQuestionLines))) {
        return true;
    }
    view.appendLine(texts::kFindingsNotCounted);
    return false;
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
    view.appendLine(texts::kFindingsHeading);
    if (findings.managed.managedBecause) {
        view.appendLine(*findings.managed.managedBecause);
    }
    appendLines(view, findingLines(all, kAllLines));
    const auto repairable = repairableOnly(all);
    if (repairable.empty()) {
        return;
    }
    if (!view.askToRepairFindings(findingLines(repairable, kQuestionLines))) {
        reportEach(view, repairable, texts::kFindingLeftPrefix);
        return;
    }
    FileBackup files(platform, backups, isPolicyFilePath);
    files.noteRegistryBackup();
    auto backup = backupSoFar(platform, backupFile, failures);
    if (!backup) {
        reportEach(view, repairable, texts::kFindingLeftPrefix);
        return;
    }
    // A key whose backup cannot be written is left as it is.
    std::vector<const LockedPolicyKey*> backedUp;
    std::vector<RegistryFileSection> added;
    for (const auto& key : findings.policyKeys) {
        auto sections = backupSectionsFor(key, failures);
        if (!sections.empty()) {
            backedUp.push_back(&key);
            std::ranges::move(sections, std::back_inserter(added));
        }
    }
    nameForBackup(added);
    std::ranges::move(added, std::back_inserter(*backup));
    if (const auto error = saveRegistryBackup(platform, *backup, backupFile)) {
        failures.add(backupFile, error);
        reportEach(view, repairable, texts::kFindingLeftPrefix);
        return;
    }
    for (const auto* key : backedUp) {
        removeLocks(platform, *key, failures);
        reportEach(view, findingsOf(std::span(key, 1), true), texts::kFindingRepairedPrefix);
    }
    for (const auto& file : findings.policyFiles) {
        const bool repaired = removeFileLocks(platform, file, files, failures);
        reportEach(view, findingsOf(std::span(&file, 1), true),
                   repaired ? texts::kFindingRepairedPrefix : texts::kFindingLeftPrefix);
    }
    askForPolicyRefresh(platform, view);
}

}  // namespace tovask
