#include "repair/run/BrowserRepair.h"

#include <algorithm>
#include <string>
#include <utility>

#include "repair/allow/AllowListSources.h"
#include "repair/backup/BackupAtRemoval.h"
#include "repair/backup/HiveNames.h"
#include "repair/backup/RegistryBackup.h"
#include "repair/commands/BrowserPrograms.h"
#include "repair/findings/FindingsRun.h"
#include "repair/hosts/HostsFolderCheck.h"
#include "repair/plan/PlannedChanges.h"
#include "repair/plan/RegistryPlan.h"
#include "repair/run/CheckVerdict.h"
#include "repair/texts/ProgramTexts.h"
#include "repair/texts/SiteUrls.h"
#include "repair/users/FactsOfThisRun.h"
#include "repair/users/RepairLock.h"
#include "repair/users/UserHives.h"
#include "text/DecimalText.h"

namespace tovask {
namespace {

std::error_code applyStep(PlatformOps& platform, const RegistryStep& step, std::wstring_view path,
                          std::wstring_view startPage) {
    switch (step.operation) {
        case RegistryOperation::DeleteKey:
        case RegistryOperation::DeleteValue: {
            // What is already gone is the state the plan wants.
            const auto error = platform.RegDelete(path);
            return isNotFound(error) ? std::error_code{} : error;
        }
        case RegistryOperation::WriteValue:
        case RegistryOperation::WriteKeyDefault:
            break;
    }
    switch (step.source) {
        case ValueSource::Number:
            return platform.RegWrite(path, step.number, step.type);
        case ValueSource::StartPage:
            return platform.RegWrite(path, startPage, step.type);
        case ValueSource::Text:
        case ValueSource::None:
        case ValueSource::LocalPage:
            break;
    }
    return platform.RegWrite(path, step.text, step.type);
}

// A row whose value differs from view to view: each planned change written
// in its own view.
std::error_code writeEachView(PlatformOps& platform, std::span<const PlannedChange> changes,
                              const RegistryStep& step) {
    std::error_code firstFailure;
    for (const auto& change : changes) {
        if (change.step != &step) {
            continue;
        }
        const std::wstring_view path = change.path;
        const auto keyEnd = path.rfind(L'\\') + 1;
        const auto error = platform.RegWriteRaw(path.substr(0, keyEnd), path.substr(keyEnd),
                                                *change.wanted, change.view);
        if (error && !firstFailure) {
            firstFailure = error;
        }
    }
    return firstFailure;
}

// The paths of the HOSTS files when the folders could not be found.
constexpr std::array<std::wstring_view, 2> kUnknownHostsFolders = {texts::kSystemFolderUnknown,
                                                                   texts::kWindowsFolderUnknown};

}  // namespace

BrowserRepair::BrowserRepair(PlatformOps& platform, ProgressView& view, FindingsConsent consent)
    : platform_(platform),
      view_(view),
      consent_(std::move(consent)),
      paths_(std::make_error_code(std::errc::operation_not_permitted)) {}

void BrowserRepair::loadPaths() {
    paths_ = computeHostsPaths(platform_);
}

RunOutcome BrowserRepair::VerificarNavegador(std::wstring_view className,
                                             const RunRequest& request) {
    request_ = request;
    RunEnd end;
    {
        const RepairLock lock(platform_);
        end = lock.error() ? reportLockFailure(lock.error()) : runUnlessBrowserOpen(className);
    }
    return shownAfterTheLock(end);
}

RunOutcome BrowserRepair::shownAfterTheLock(const RunEnd& end) {
    if (!end.notice.lines.empty()) {
        view_.showNotice(end.notice);
    }
    return end.outcome;
}

RunEnd BrowserRepair::runUnlessBrowserOpen(std::wstring_view className) {
    const auto hwndNavegador = platform_.FindWindowA(className);
    const auto users = hwndNavegador == 0 ? browserUsers() : std::vector<std::wstring>{};
    if (hwndNavegador == 0 && users.empty()) {
        return DesbloquearIE();
    }
    Notice notice{NoticeKind::Information,
                  std::wstring(texts::kWarningTitle),
                  {std::wstring(texts::kCloseBrowserPrompt)}};
    for (std::size_t i = 0; i < users.size(); ++i) {
        if (i == 0) {
            notice.lines.emplace_back(texts::kBrowserOpenByPrefix);
        } else {
            notice.lines.back() += L", ";
        }
        notice.lines.back() += users[i];
    }
    return {RunOutcome::BrowserOpen, notice};
}

// The window check sees only this desktop; a run for every user must also
// see the browser of every user logged on to the machine.
std::vector<std::wstring> BrowserRepair::browserUsers() {
    if (!request_.everyUser) {
        return {};
    }
    const auto owners = platform_.ProcessOwners(browserProcessOf(texts::kInternetExplorer));
    return owners.ok() ? owners.value() : std::vector<std::wstring>{};
}

RunEnd BrowserRepair::reportLockFailure(std::error_code error) {
    Notice notice{NoticeKind::Warning,
                  std::wstring(texts::kWarningTitle),
                  {std::wstring(texts::kAnotherRepairPrompt)}};
    if (error != std::errc::timed_out) {
        notice.lines.push_back(platform_.DescribeError(error));
    }
    return {RunOutcome::AnotherRepairRunning, notice};
}

RunEnd BrowserRepair::DesbloquearIE() {
    FailureLog failures(platform_);
    view_.clearList();
    view_.appendLine(texts::kRunStarted);

    // The page is read once: what the registry gets is what the report shows.
    const std::wstring startPage = chosenStartPage();
    noteBackupsBeforeThisRun();
    RunSummary summary;
    {
        // What the machine is, asked once for the findings and their repair.
        FactsOfThisRun facts(platform_);
        auto managed = decideManagedMachine(platform_, failures);
        auto allowList = loadAllowList(platform_, request_.allowFile, request_.everyUser, failures);
        // Hives loaded for this run are unloaded before it reports, whatever failed.
        std::optional<UserHives> everyone;
        const auto userHives = runRegistryPhase(startPage, managed, everyone, failures);
        view_.appendLine(texts::kRegistryRestored);

        runHostsPhase(managed, allowList, failures);
        view_.appendLine(L"");
        view_.appendLine(std::wstring(texts::kStartPagePrefix) + startPage);
        view_.setStartPage(L"");
        if (paths_.ok()) {
            const auto naming = [&](std::vector<RegistryFileSection>& sections) {
                nameForBackup(sections, everyone);
            };
            summary = repairFindingsWithConsent(
                facts, view_,
                lookForFindings(facts, std::move(managed), userHives, request_.everyUser, failures,
                                std::move(allowList)),
                {request_.offeredKinds, consent_}, fileBackupPlace(), naming, failures);
        }
    }
    writeThisRunsSet(summary, failures);
    auto end = reportFailures(failures);
    // The summary ends the report, below any error line: the last lines the
    // list shows once the closing message is gone, and the console's last.
    const auto summaryLines = summary.lines();
    if (!summaryLines.empty()) {
        view_.appendLine(L"");
    }
    for (const auto& line : summaryLines) {
        view_.appendLine(line);
    }
    return end;
}

std::wstring BrowserRepair::chosenStartPage() const {
    return request_.startPage.empty() ? std::wstring(ForumSiteUrl) : request_.startPage;
}

// Nothing when the folders are unknown: without them there is no backup to
// compare or to write. Entries that cannot be read are logged as failures.
std::optional<BrowserRepair::RegistryStart> BrowserRepair::readRegistryFor(
    std::wstring_view startPage, bool managed, std::optional<UserHives>& everyone,
    FailureLog& failures) {
    if (!paths_.ok()) {
        failures.add(registryBackupFile(), paths_.error());
        return std::nullopt;
    }
    auto userHives = userHivesFor(everyone, failures);
    auto changes = plannedChangesFor(userHives, startPage, failures);
    // The organisation's policy rows are only read, to be reported.
    std::vector<PlannedChange> policyChanges;
    if (managed) {
        const auto policies = std::stable_partition(
            changes.begin(), changes.end(),
            [](const PlannedChange& change) { return !isPolicyRow(*change.step); });
        policyChanges.assign(policies, changes.end());
        changes.erase(policies, changes.end());
    }
    auto captured = captureRegistry(platform_, changes);
    const auto policies = captureRegistry(platform_, policyChanges);
    std::vector<std::wstring> left;
    for (const CapturedRegistry* capture : {&std::as_const(captured), &policies}) {
        for (const auto& skipped : capture->skipped) {
            failures.add(skipped.entry, skipped.reason);
        }
    }
    for (const auto& difference : policies.differences) {
        if (difference.present) {
            left.push_back(difference.entry);
        }
    }
    return RegistryStart{std::move(userHives), std::move(changes), std::move(captured),
                         std::move(left)};
}

std::vector<std::wstring> BrowserRepair::runRegistryPhase(std::wstring_view startPage,
                                                          const ManagedMachine& managed,
                                                          std::optional<UserHives>& everyone,
                                                          FailureLog& failures) {
    const bool isManaged = managed.known;
    auto start = readRegistryFor(startPage, isManaged, everyone, failures);
    if (!start) {
        return {};
    }
    const auto backupFile = registryBackupFile();
    const auto& userHives = start->userHives;
    const auto& changes = start->changes;
    auto& captured = start->captured;
    // Nothing is changed that could not be put back; a run that changes
    // nothing keeps the earlier backup.
    std::optional<BackupAtRemoval> backup;
    if (captured.runChangesSomething()) {
        auto sections = std::move(captured.sections);
        nameForBackup(sections, everyone);
        if (const auto error = saveRegistryBackup(platform_, sections, backupFile)) {
            failures.add(backupFile, error);
            return userHives;
        }
        thisRun_.registryBackupStarted = true;
        backup.emplace(
            platform_, backupFile, std::move(sections), 0,
            [&](std::vector<RegistryFileSection>& named) { nameForBackup(named, everyone); });
    }
    // A run whose rows leave the registry as they found it (a key removed
    // and written again) keeps the earlier backup.
    RemovalsAsTaken changing(platform_, backup ? &*backup : nullptr);
    if (!start->leftPolicies.empty()) {
        if (everyone) {
            nameHivesBySid(start->leftPolicies, everyone->hives());
        }
        view_.appendLine(*managed.managedBecause);
        for (const auto& entry : start->leftPolicies) {
            view_.appendLine(std::wstring(texts::kPolicyRowLeftPrefix) + entry);
        }
    }
    for (const auto& step : kRegistryRepairPlan) {
        if (isManaged && isPolicyRow(step)) {
            continue;
        }
        for (const auto& path : pathsForUsers(step.path, userHives)) {
            if (captured.skips(step, path)) {
                continue;
            }
            const auto error = step.source == ValueSource::LocalPage
                                   ? writeEachView(changing, changes, step)
                                   : applyStep(changing, step, path, startPage);
            if (error) {
                failures.add(path, error);
            }
        }
    }
    if (captured.skips(kHostsFolderStep, kHostsFolderStep.path)) {
        return userHives;
    }
    if (const auto error = writeEachView(changing, changes, kHostsFolderStep)) {
        failures.add(kHostsFolderStep.path, error);
    }
    return userHives;
}

void BrowserRepair::nameForBackup(std::vector<RegistryFileSection>& sections,
                                  const std::optional<UserHives>& everyone) {
    if (everyone) {
        nameHivesBySid(sections, everyone->hives());
    }
    if (const auto programUser = platform_.ProgramUserSid(); programUser.ok()) {
        nameCurrentUserBySid(sections, programUser.value());
    }
}

std::vector<std::wstring> BrowserRepair::userHivesFor(std::optional<UserHives>& everyone,
                                                      FailureLog& failures) {
    if (!request_.everyUser) {
        return {desktopUserHive(platform_)};
    }
    everyone.emplace(platform_, failures);
    return everyone->hivePaths();
}

// The plan for these users, and the HOSTS folder value when it names
// another folder.
std::vector<PlannedChange> BrowserRepair::plannedChangesFor(
    const std::vector<std::wstring>& userHives, std::wstring_view startPage, FailureLog& failures) {
    const RunTargets targets{userHives, platform_.HasTwoRegistryViews(), paths_.value().strWindows,
                             std::wstring(startPage)};
    auto changes = plannedChanges(targets);
    const auto hostsFolder = hostsFolderChange(platform_);
    if (!hostsFolder.ok()) {
        failures.add(kHostsFolderStep.path, hostsFolder.error());
    } else if (hostsFolder.value()) {
        changes.push_back(*hostsFolder.value());
    }
    return changes;
}

void BrowserRepair::flushResolverCache(FailureLog& failures) {
    if (const auto error = platform_.FlushDnsCache()) {
        failures.add(texts::kDnsCacheTarget, error);
    }
}

std::wstring BrowserRepair::registryBackupFile() const {
    return paths_.ok()
               ? paths_.value().registryBackupFile
               : std::wstring(texts::kSystemFolderUnknown) + L"\\drivers\\etc\\BackupRegistro.reg";
}

FileBackupPlace BrowserRepair::fileBackupPlace() const {
    auto registry = registryBackupFile();
    auto folder =
        registry.substr(0, registry.rfind(L'\\') + 1) + std::wstring(kFileBackupFolderName);
    return {std::move(folder), std::move(registry)};
}

void BrowserRepair::runHostsPhase(const ManagedMachine& managed, const AllowList& allowList,
                                  FailureLog& failures) {
    if (!paths_.ok()) {
        for (const auto folder : kUnknownHostsFolders) {
            failures.add(std::wstring(folder) + L"\\drivers\\etc\\hosts", paths_.error());
        }
        view_.appendLine(texts::kHostsBackedUp);
        view_.appendLine(texts::kHostsRestored);
        return;
    }
    // An organisation's HOSTS entries are its own, like its policies.
    if (managed.known) {
        view_.appendLine(texts::kHostsBackedUp);
        view_.appendLine(texts::kHostsRestored);
        for (const auto& [hosts, entries] : judgeHostsFiles(allowList, failures)) {
            if (entries.counting > 0) {
                view_.appendLine(std::wstring(texts::kHostsLeftPrefix) + hosts);
            }
        }
        return;
    }
    if (request_.hostsRepair == HostsRepair::RemoveCountingEntries) {
        removeCountingHostsEntries(allowList, failures);
        return;
    }
    const auto pairs = hostsPairs(paths_.value());
    std::array<BackupOutcome, 2> backups{};
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        backups[i] = backUpHostsFile(platform_, pairs[i], failures);
    }
    view_.appendLine(texts::kHostsBackedUp);
    bool changedAFile = false;
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        if (EscribirHosts(platform_, pairs[i], backups[i], failures)) {
            changedAFile = true;
            thisRun_.hostsReplaced.push_back(pairs[i]);
        }
    }
    // Names must resolve by the new HOSTS file now, not after a restart.
    if (changedAFile) {
        flushResolverCache(failures);
    }
    view_.appendLine(texts::kHostsRestored);
}

// The entries that count go, each file backed up first; the person's own
// entries and every other byte stay.
void BrowserRepair::removeCountingHostsEntries(const AllowList& allowList, FailureLog& failures) {
    std::vector<std::wstring> removed;
    const auto allowed = allowList.hostNameRule();
    for (const auto pair : hostsPairs(paths_.value())) {
        const auto lines =
            hostsEntryLines(texts::kHostsEntryRemovedPrefix, pair.hosts,
                            removeCountingEntries(platform_, pair, allowed, failures));
        removed.insert(removed.end(), lines.begin(), lines.end());
    }
    view_.appendLine(texts::kHostsBackedUp);
    // Names must resolve by the new HOSTS file now, not after a restart.
    if (!removed.empty()) {
        flushResolverCache(failures);
    }
    view_.appendLine(texts::kHostsRestored);
    for (const auto& line : removed) {
        view_.appendLine(line);
    }
}

RunEnd BrowserRepair::reportFailures(const FailureLog& failures) {
    if (failures.entries().empty()) {
        return {RunOutcome::Done,
                {NoticeKind::Information,
                 std::wstring(texts::kFinishedTitle),
                 {std::wstring(texts::kRepairSucceededPrompt)}}};
    }
    appendErrorLines(failures);
    return {RunOutcome::DoneWithFailures,
            {NoticeKind::Warning,
             std::wstring(texts::kFinishedTitle),
             {std::wstring(texts::kRepairFailedPromptPrefix) +
              decimalText(failures.entries().size())}}};
}

void BrowserRepair::appendErrorLines(const FailureLog& failures) {
    for (const auto& failure : failures.entries()) {
        view_.appendLine(std::wstring(texts::kErrorLinePrefix) + failure.target + L" (" +
                         failure.reason + L")");
    }
}

}  // namespace tovask
