#include <optional>

#include "repair/backup/HiveNames.h"
#include "repair/backup/RegistryBackup.h"
#include "repair/backup/RegistryRestore.h"
#include "repair/findings/FindingsRun.h"
#include "repair/run/BrowserRepair.h"
#include "repair/texts/ProgramTexts.h"
#include "repair/users/RepairLock.h"
#include "text/DecimalText.h"

namespace tovask {
namespace {

Notice undoFailedNotice(std::wstring_view file, std::wstring reason) {
    return {NoticeKind::Error,
            std::wstring(texts::kErrorTitle),
            {std::wstring(texts::kUndoFailedPromptPrefix) + std::wstring(file), std::move(reason)}};
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
    // The whole backup is read and checked before the registry changes at all.
    auto backup =
        loadRegistryBackup(platform_, paths_.value().registryBackupFile, isWithinFindingsReach);
    if (const auto* refused = std::get_if<RefusedRegistryBackup>(&backup)) {
        return {RunOutcome::DoneWithFailures,
                undoFailedNotice(paths_.value().registryBackupFile, refused->reason)};
    }
    if (auto* sections = std::get_if<std::vector<RegistryFileSection>>(&backup)) {
        if (const auto programUser = platform_.ProgramUserSid(); programUser.ok()) {
            nameCurrentUserAsCurrent(*sections, programUser.value());
        }
        // The hives of users who are not logged on are loaded for the restore
        // and unloaded again right after it.
        const auto users = usersNamedIn(*sections);
        std::optional<UserHives> hives;
        if (!users.empty()) {
            hives.emplace(platform_, failures, users);
            nameHivesAsLoaded(*sections, hives->hives());
        }
        restoreRegistry(platform_, *sections, platform_.HasTwoRegistryViews(), failures);
    }
    restoreFileBackups(platform_, fileBackupPlace(), isFindingFilePath, failures);
    const auto hosts = restoreHostsFiles(platform_, paths_.value());
    if (hosts.changedAFile) {
        flushResolverCache(failures);
    }
    if (hosts.failure) {
        return reportUndoFailure(hosts.failure->hosts, hosts.failure->error, failures);
    }
    view_.clearList();
    view_.appendLine(texts::kUndoDone);
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

// The file that stopped the undo; registry entries that failed before it are
// listed with it and counted, so that no failure hides behind another.
RunEnd BrowserRepair::reportUndoFailure(std::wstring_view file, std::error_code error,
                                        const FailureLog& earlierFailures) {
    auto notice = undoFailedNotice(file, platform_.DescribeError(error));
    if (!earlierFailures.entries().empty()) {
        FailureLog failures = earlierFailures;
        failures.add(file, error);
        view_.clearList();
        appendErrorLines(failures);
        notice.lines.push_back(std::wstring(texts::kFailedOperationsPrefix) +
                               decimalText(failures.entries().size()));
    }
    return {RunOutcome::DoneWithFailures, notice};
}

}  // namespace tovask
