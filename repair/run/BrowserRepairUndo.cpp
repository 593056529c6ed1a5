#include <algorithm>
#include <optional>
#include <set>

#include "repair/backup/HiveNames.h"
#include "repair/backup/RegistryBackup.h"
#include "repair/backup/RegistryRestore.h"
#include "repair/findings/FindingsRun.h"
#include "repair/run/BrowserRepair.h"
#include "repair/run/UndoListing.h"
#include "repair/texts/ProgramTexts.h"
#include "repair/users/RepairLock.h"
#include "text/DecimalText.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

Notice undoFailedNotice(std::wstring_view file, std::wstring reason) {
    return {NoticeKind::Error,
            std::wstring(texts::kErrorTitle),
            {std::wstring(texts::kUndoFailedPromptPrefix) + std::wstring(file), std::move(reason)}};
}

Notice undoNotice(std::wstring_view line) {
    return {NoticeKind::Information, std::wstring(texts::kUndoButton), {std::wstring(line)}};
}

std::optional<CalendarTime> writtenAt(PlatformOps& platform, std::wstring_view file) {
    const auto time = platform.FileWrittenAt(file);
    return time.ok() ? std::optional(time.value()) : std::nullopt;
}

// A backup whose existence cannot be told is listed: its restore is still
// attempted and reports its own failure.
std::vector<ListedHostsFile> hostsBackupsOf(PlatformOps& platform, const HostsPaths& paths) {
    std::vector<ListedHostsFile> listed;
    for (const auto pair : hostsPairs(paths)) {
        const auto there = platform.FileExists(pair.backup);
        if (!there.ok() || there.value()) {
            listed.push_back({std::wstring(pair.hosts), writtenAt(platform, pair.backup)});
        }
    }
    return listed;
}

// The HOSTS files put back: those listed before the one that stopped the restore.
std::vector<std::wstring> hostsPutBack(const std::vector<ListedHostsFile>& listed,
                                       const HostsRestore& restore) {
    std::vector<std::wstring> lines;
    for (const auto& file : listed) {
        if (!restore.changedAFile || (restore.failure && restore.failure->hosts == file.hosts)) {
            break;
        }
        lines.push_back(cameBackLine(texts::kUndoHostsHeading, file.hosts));
    }
    return lines;
}

// Only when several runs can still be undone, so that whoever undoes knows
// which runs this undo reaches and which are left to /undo:<n>.
void nameTheRuns(UndoContents& contents, const std::vector<RunSet>& sets,
                 const SetsInBackup& inBackup) {
    if (std::ranges::count_if(sets, &RunSet::live) < 2) {
        return;
    }
    for (const auto& set : sets) {
        if (!set.live()) {
            continue;
        }
        if (std::ranges::find(inBackup.sets, &set) != inBackup.sets.end()) {
            contents.runs.push_back({set.id, set.madeAt});
        } else {
            contents.runsLeft.push_back(set.id);
        }
    }
}

// The HOSTS files whose backup the last run that replaced them left, where
// that run was undone on its own since: what they hold now is later.
std::vector<std::wstring> hostsUndoneBefore(const std::vector<RunSet>& sets) {
    std::vector<std::wstring> seen;
    std::vector<std::wstring> undone;
    for (auto set = sets.rbegin(); set != sets.rend(); ++set) {
        for (const auto& copy : set->usable() ? set->manifest->hosts : std::vector<HostsCopy>{}) {
            if (!isAmongIgnoringCase(seen, copy.hosts)) {
                seen.push_back(copy.hosts);
                if (set->undoneAt) {
                    undone.push_back(copy.hosts);
                }
            }
        }
    }
    return undone;
}

}  // namespace

RunOutcome BrowserRepair::undoChanges() {
    RunEnd end;
    {
        const RepairLock lock(platform_);
        end = lock.error() ? reportLockFailure(lock.error()) : undoUnderLock();
    }
    return shownAfterTheLock(end);
}

RunEnd BrowserRepair::undoUnderLock() {
    FailureLog failures(platform_);
    if (!paths_.ok()) {
        return reportUndoFailure(
            std::wstring(texts::kSystemFolderUnknown) + L"\\drivers\\etc\\hosts", paths_.error(),
            failures);
    }
    // The whole backup is read and checked before the registry changes at all,
    // and before anything is listed.
    auto backup =
        loadRegistryBackup(platform_, paths_.value().registryBackupFile, isWithinFindingsReach);
    if (const auto* refused = std::get_if<RefusedRegistryBackup>(&backup)) {
        return {RunOutcome::DoneWithFailures,
                undoFailedNotice(paths_.value().registryBackupFile, refused->reason)};
    }
    auto* sections = std::get_if<std::vector<RegistryFileSection>>(&backup);
    auto files = readFileBackups(platform_, fileBackupPlace(), isFindingFilePath, failures);
    // The runs' sets tell which runs the backup holds, so that a run undone
    // on its own since is not put back a second time. What is wrong with a
    // set is /runs' to tell: without the sets the backup comes back whole.
    FailureLog setsFailures(platform_);
    const auto runSets = readRunSets(platform_, runSetsFolder(), runSetReach(), setsFailures);
    const auto inBackup = sections ? setsInRegistryBackup(runSets, *sections) : std::nullopt;
    if (inBackup) {
        *sections = inBackup->stillToUndo;
        for (const auto* set : inBackup->sets) {
            if (set->undoneAt && set->files && files) {
                std::erase_if(files->entries, [&](const FileBackupEntry& entry) {
                    return std::ranges::find(set->files->entries, entry) !=
                           set->files->entries.end();
                });
            }
        }
    }
    auto contents = listUndo(sections, files);
    if (inBackup) {
        nameTheRuns(contents, runSets, *inBackup);
    }
    const auto hostsLeft = hostsUndoneBefore(runSets);
    std::erase_if(contents.hosts, [&](const ListedHostsFile& listed) {
        return isAmongIgnoringCase(hostsLeft, listed.hosts);
    });
    view_.clearList();
    if (contents.holdsNothing() && failures.entries().empty()) {
        view_.appendLine(texts::kNothingToUndo);
        return {RunOutcome::NothingToUndo, undoNotice(texts::kNothingToUndo)};
    }
    if (!contents.holdsNothing() && !listedAndAnsweredYes(contents)) {
        view_.appendLine(texts::kUndoDeclined);
        appendErrorLines(failures);
        // The answer was the user's last word: no notice follows it.
        return {failures.entries().empty() ? RunOutcome::Done : RunOutcome::DoneWithFailures,
                {NoticeKind::Information, std::wstring(texts::kUndoButton), {}}};
    }
    auto putBack = sections ? restoreRegistryBackup(*sections, contents, failures)
                            : std::vector<std::wstring>{};
    if (files) {
        for (const auto& file :
             restoreFileBackups(platform_, fileBackupPlace(), *files, failures)) {
            putBack.push_back(cameBackLine(headingOfFile(file), file));
        }
    }
    const auto hosts = restoreHostsFiles(platform_, paths_.value(), hostsLeft);
    if (hosts.changedAFile) {
        flushResolverCache(failures);
    }
    const auto hostsLines = hostsPutBack(contents.hosts, hosts);
    putBack.insert(putBack.end(), hostsLines.begin(), hostsLines.end());
    if (hosts.failure) {
        for (const auto& line : putBack) {
            view_.appendLine(line);
        }
        return reportUndoFailure(hosts.failure->hosts, hosts.failure->error, failures);
    }
    view_.appendLine(texts::kUndoDone);
    for (const auto& line : putBack) {
        view_.appendLine(line);
    }
    if (failures.entries().empty()) {
        markUndone(inBackup ? inBackup->sets : std::vector<const RunSet*>{}, failures);
    }
    if (failures.entries().empty()) {
        return {RunOutcome::Done,
                {NoticeKind::Information,
                 std::wstring(texts::kFinishedTitle),
                 {std::wstring(texts::kUndoFinishedPrompt)}}};
    }
    appendErrorLines(failures);
    return {RunOutcome::DoneWithFailures,
            {NoticeKind::Warning,
             std::wstring(texts::kFinishedTitle),
             {std::wstring(texts::kUndoWithFailuresPromptPrefix) +
              decimalText(failures.entries().size())}}};
}

bool BrowserRepair::listedAndAnsweredYes(const UndoContents& contents) {
    auto question = undoListing(contents);
    for (const auto& line : question) {
        view_.appendLine(line);
    }
    question.emplace_back(texts::kUndoQuestion);
    return view_.confirm({NoticeKind::Information, std::wstring(texts::kUndoButton), question});
}

UndoContents BrowserRepair::listUndo(const std::vector<RegistryFileSection>* sections,
                                     const std::optional<FileManifest>& files) {
    UndoContents contents;
    if (sections != nullptr && !sections->empty()) {
        const bool twoViews = platform_.HasTwoRegistryViews();
        for (const auto& section : *sections) {
            contents.sections.push_back(listedSection(section, twoViews));
        }
        contents.registryBackupMadeAt = writtenAt(platform_, paths_.value().registryBackupFile);
    }
    if (files) {
        for (const auto& entry : files->entries) {
            contents.files.push_back(entry.original);
        }
    }
    contents.hosts = hostsBackupsOf(platform_, paths_.value());
    return contents;
}

// The hives of users who are not logged on are loaded for the restore and
// unloaded again right after it. Each entry put back is told by the key the
// backup names, not the name its hive was loaded under.
std::vector<std::wstring> BrowserRepair::restoreRegistryBackup(
    const std::vector<RegistryFileSection>& sections, const UndoContents& contents,
    FailureLog& failures) {
    std::vector<std::wstring> lines;
    std::set<std::wstring> given;
    withHivesLoaded(sections, failures, [&](std::vector<RegistryFileSection>& loaded) {
        for (const auto& entry :
             restoreRegistry(platform_, loaded, platform_.HasTwoRegistryViews(), failures)) {
            const auto& listed = contents.sections[entry.section];
            auto line =
                cameBackLine(listed.heading, registryEntryName(listed.key, entry.valueName));
            // A subtree comes back as its removal and then its keys: a key is one line.
            if (given.insert(foldedCase(line)).second) {
                lines.push_back(std::move(line));
            }
        }
    });
    return lines;
}

// The file that stopped the undo; registry entries that failed before it are
// listed with it and counted, so that no failure hides behind another.
RunEnd BrowserRepair::reportUndoFailure(std::wstring_view file, std::error_code error,
                                        const FailureLog& earlierFailures) {
    auto notice = undoFailedNotice(file, platform_.DescribeError(error));
    if (!earlierFailures.entries().empty()) {
        FailureLog failures = earlierFailures;
        failures.add(file, error);
        appendErrorLines(failures);
        notice.lines.push_back(std::wstring(texts::kFailedOperationsPrefix) +
                               decimalText(failures.entries().size()));
    }
    return {RunOutcome::DoneWithFailures, notice};
}

}  // namespace tovask
