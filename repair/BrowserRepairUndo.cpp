#include <optional>

#include "repair/BrowserRepair.h"
#include "repair/HiveNames.h"
#include "repair/ProgramTexts.h"
#include "repair/RegistryBackup.h"
#include "repair/RegistryRestore.h"
#include "repair/RepairLock.h"

namespace tovask {

RunOutcome BrowserRepair::DeshacerCambios() {
    const RepairLock lock(platform_);
    if (lock.error()) {
        return reportLockFailure(lock.error());
    }
    if (!paths_.ok()) {
        return reportUndoFailure(
            std::wstring(texts::kSystemFolderUnknown) + L"\\drivers\\etc\\hosts",
            platform_.DescribeError(paths_.error()));
    }
    FailureLog failures(platform_);
    // The whole backup is read and checked before the registry changes at all.
    auto backup = loadRegistryBackup(platform_, paths_.value().strBackupRegistro);
    if (const auto* refused = std::get_if<RefusedRegistryBackup>(&backup)) {
        return reportUndoFailure(paths_.value().strBackupRegistro, refused->reason);
    }
    if (auto* sections = std::get_if<std::vector<RegistryFileSection>>(&backup)) {
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
    const auto hosts = restoreHostsFiles(platform_, paths_.value());
    if (hosts.changedAFile) {
        flushResolverCache(failures);
    }
    if (hosts.failure) {
        return reportUndoFailure(hosts.failure->hosts,
                                 platform_.DescribeError(hosts.failure->error));
    }
    view_.clearList();
    view_.appendLine(texts::kUndoDone);
    if (failures.entries().empty()) {
        platform_.ShowMessage(texts::kUndoFinishedPrompt, MessageStyle::Information,
                              texts::kFinishedTitle);
        return RunOutcome::Done;
    }
    appendErrorLines(failures);
    platform_.ShowMessage(std::wstring(texts::kUndoWithFailuresPromptPrefix) +
                              std::to_wstring(failures.entries().size()),
                          MessageStyle::Warning, texts::kFinishedTitle);
    return RunOutcome::DoneWithFailures;
}

RunOutcome BrowserRepair::reportUndoFailure(std::wstring_view file, std::wstring_view reason) {
    platform_.ShowMessage(std::wstring(texts::kUndoFailedPromptPrefix) + std::wstring(file) +
                              L"\r\n" + std::wstring(reason),
                          MessageStyle::Error, texts::kErrorTitle);
    return RunOutcome::DoneWithFailures;
}

}  // namespace tovask
