#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/PlatformOps.h"
#include "repair/allow/AllowList.h"
#include "repair/backup/RegistryCapture.h"
#include "repair/backup/files/FileBackup.h"
#include "repair/backup/runs/RunSets.h"
#include "repair/findings/ManagedMachine.h"
#include "repair/hosts/HostsFiles.h"
#include "repair/plan/PlannedChanges.h"
#include "repair/report/FailureLog.h"
#include "repair/report/ProgressView.h"
#include "repair/report/RunRequest.h"
#include "repair/report/RunSummary.h"
#include "repair/run/RunOutcome.h"
#include "repair/run/UndoListing.h"
#include "repair/users/UserHives.h"
#include "values/Result.h"

namespace tovask {

// How a repair or an undo ended, and the notice that says so. The notice is
// shown once the repair lock is released, so that a script's run started
// meanwhile does not wait for somebody to dismiss it; one with no lines is
// not shown.
struct RunEnd {
    RunOutcome outcome;
    Notice notice;
};

// The browser repair behind the window's two main buttons and the command
// line: the browser check, the repair run (registry backup and plan, then the
// HOSTS files), the undo (registry, then HOSTS files) and the check of what a
// run would change. Reports go to the progress list and to notices.
class BrowserRepair {
  public:
    // The consent answers, for every run, whether to repair the findings
    // beyond Internet Explorer that it lists.
    BrowserRepair(PlatformOps& platform, ProgressView& view, FindingsConsent consent);

    // The window's load step: finds the Windows and system folders once.
    void loadPaths();
    const Result<HostsPaths>& paths() const { return paths_; }

    // Runs the repair unless a top-level window of the class is open.
    RunOutcome VerificarNavegador(std::wstring_view className, const RunRequest& request);
    // Lists what the backups hold and asks the view whether to go on; then
    // puts the registry back from its backup, then the files the last run
    // changed, then each HOSTS backup back over its HOSTS file, and lists
    // each thing that came back.
    RunOutcome undoChanges();
    // Lists each run's set of backups: its number, time, users, switches,
    // what it changed and whether it can still be undone; then their size.
    RunOutcome listRuns();
    // Undoes the run of that number as /runs lists it: only what is still as
    // that run left it comes back; what changed since is told and left. A run
    // undone before is refused.
    RunOutcome undoRun(std::uint32_t id);
    // Lists every entry a run would change, changing nothing.
    RunOutcome checkWhatNeedsRepair(const RunRequest& request);

  private:
    // Where the run and the check begin: the users' hives, the changes
    // planned for them and what the registry holds for those changes now.
    struct RegistryStart {
        std::vector<std::wstring> userHives;
        std::vector<PlannedChange> changes;
        CapturedRegistry captured;
        // On a managed machine, the policy rows' entries that are there: the
        // organisation's, reported and left.
        std::vector<std::wstring> leftPolicies;
    };

    // What the run under way changed, for its own set of backups.
    struct ThisRun {
        // The registry backup and the file backups' manifest as the run found them.
        std::string registryBackupBefore;
        std::string fileManifestBefore;
        // The run's registry phase began the registry backup anew.
        bool registryBackupStarted = false;
        std::vector<HostsPair> hostsReplaced;
    };

    RunEnd runUnlessBrowserOpen(std::wstring_view className);
    void noteBackupsBeforeThisRun();
    std::string existingBackup(std::wstring_view path, std::size_t limit);
    void writeThisRunsSet(const RunSummary& summary, FailureLog& failures);
    RunChanges changesOfThisRun(FailureLog& failures);
    std::wstring runSetsFolder() const;
    RunSetReach runSetReach() const;
    // Runs `act` with the sections named as the registry names them now: the
    // hives of users who are not logged on loaded, and unloaded after it.
    void withHivesLoaded(std::vector<RegistryFileSection> sections, FailureLog& failures,
                         const std::function<void(std::vector<RegistryFileSection>&)>& act);
    RunEnd DesbloquearIE();
    RunEnd undoUnderLock();
    RunEnd undoRunUnderLock(std::uint32_t id);
    // What of the set is still as its run left it, listed as the undo tells it;
    // the rest is told in `left`.
    UndoContents stillAsLeft(const RunSet& set, std::vector<RegistryFileSection>& sections,
                             std::optional<FileManifest>& files, std::vector<std::wstring>& left,
                             FailureLog& failures);
    // Marks each set not undone before as undone now.
    void markUndone(const std::vector<const RunSet*>& sets, FailureLog& failures);
    UndoContents listUndo(const std::vector<RegistryFileSection>* sections,
                          const std::optional<FileManifest>& files);
    // Lists what the undo puts back and asks the view whether to go on.
    bool listedAndAnsweredYes(const UndoContents& contents);
    std::vector<std::wstring> restoreRegistryBackup(
        const std::vector<RegistryFileSection>& sections, const UndoContents& contents,
        FailureLog& failures);
    RunOutcome shownAfterTheLock(const RunEnd& end);
    std::vector<std::wstring> browserUsers();
    // The page typed in the window or given on the command line, or the
    // default one.
    std::wstring chosenStartPage() const;
    std::vector<PlannedChange> plannedChangesFor(const std::vector<std::wstring>& userHives,
                                                 std::wstring_view startPage, FailureLog& failures);
    std::optional<RegistryStart> readRegistryFor(std::wstring_view startPage, bool managed,
                                                 std::optional<UserHives>& everyone,
                                                 FailureLog& failures);
    std::vector<std::wstring> runRegistryPhase(std::wstring_view startPage,
                                               const ManagedMachine& managed,
                                               std::optional<UserHives>& everyone,
                                               FailureLog& failures);
    void nameForBackup(std::vector<RegistryFileSection>& sections,
                       const std::optional<UserHives>& everyone);
    std::vector<std::wstring> userHivesFor(std::optional<UserHives>& everyone,
                                           FailureLog& failures);
    std::wstring registryBackupFile() const;
    // The file backups beside the registry backup they accompany.
    FileBackupPlace fileBackupPlace() const;
    void runHostsPhase(const ManagedMachine& managed, const AllowList& allowList,
                       FailureLog& failures);
    void flushResolverCache(FailureLog& failures);
    std::vector<HostsFileVerdict> judgeHostsFiles(const AllowList& allowList, FailureLog& failures);
    void removeCountingHostsEntries(const AllowList& allowList, FailureLog& failures);
    RunEnd reportFailures(const FailureLog& failures);
    void appendErrorLines(const FailureLog& failures);
    RunEnd reportUndoFailure(std::wstring_view file, std::error_code error,
                             const FailureLog& earlierFailures);
    RunEnd reportLockFailure(std::error_code error);

    PlatformOps& platform_;
    ProgressView& view_;
    FindingsConsent consent_;
    Result<HostsPaths> paths_;
    // The request of the run or check under way.
    RunRequest request_;
    ThisRun thisRun_;
};

}  // namespace tovask
