#include "repair/BrowserRepair.h"

#include <string>

#include "repair/DesktopUser.h"
#include "repair/HostsFolderCheck.h"
#include "repair/PlannedChanges.h"
#include "repair/ProgramTexts.h"
#include "repair/RegistryBackup.h"
#include "repair/RegistryPlan.h"
#include "repair/RegistryRestore.h"
#include "repair/SiteUrls.h"

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

BrowserRepair::BrowserRepair(PlatformOps& platform, ProgressView& view)
    : platform_(platform),
      view_(view),
      paths_(std::make_error_code(std::errc::operation_not_permitted)) {}

void BrowserRepair::loadPaths() {
    paths_ = computeHostsPaths(platform_);
}

void BrowserRepair::VerificarNavegador(std::wstring_view className) {
    hwndNavegador_ = platform_.FindWindowA(className);
    if (hwndNavegador_ == 0) {
        DesbloquearIE();
        return;
    }
    platform_.ShowMessage(texts::kCloseBrowserPrompt, MessageStyle::Information,
                          texts::kWarningTitle);
}

void BrowserRepair::DesbloquearIE() {
    FailureLog failures(platform_);
    view_.clearList();
    view_.appendLine(texts::kRunStarted);

    // The page is read once: what the registry gets is what the report shows.
    const std::wstring typedPage = view_.startPage();
    const std::wstring startPage = typedPage.empty() ? std::wstring(ForumSiteUrl) : typedPage;
    runRegistryPhase(startPage, failures);
    view_.appendLine(texts::kRegistryRestored);

    runHostsPhase(failures);
    view_.appendLine(L"");
    view_.appendLine(std::wstring(texts::kStartPagePrefix) + startPage);
    view_.setStartPage(L"");
    reportFailures(failures);
}

void BrowserRepair::runRegistryPhase(std::wstring_view startPage, FailureLog& failures) {
    const auto backupFile = registryBackupFile();
    if (!paths_.ok()) {
        failures.add(backupFile, paths_.error());
        return;
    }
    const RunTargets targets{desktopUserHive(platform_), platform_.HasTwoRegistryViews(),
                             paths_.value().strWindows, std::wstring(startPage)};
    auto changes = plannedChanges(targets);
    const auto hostsFolder = hostsFolderChange(platform_);
    if (!hostsFolder.ok()) {
        failures.add(kHostsFolderStep.path, hostsFolder.error());
    } else if (hostsFolder.value()) {
        changes.push_back(*hostsFolder.value());
    }
    // Nothing is changed that could not be put back.
    if (const auto error = saveRegistryBackup(platform_, changes, backupFile)) {
        failures.add(backupFile, error);
        return;
    }
    for (const auto& step : kRegistryRepairPlan) {
        const auto path = pathForUser(step.path, targets.userHive);
        const auto error = step.source == ValueSource::LocalPage
                               ? writeEachView(platform_, changes, step)
                               : applyStep(platform_, step, path, startPage);
        if (error) {
            failures.add(path, error);
        }
    }
    if (hostsFolder.ok() && hostsFolder.value()) {
        if (const auto error = writeEachView(platform_, changes, kHostsFolderStep)) {
            failures.add(kHostsFolderStep.path, error);
        }
    }
}

void BrowserRepair::flushResolverCache(FailureLog& failures) {
    if (const auto error = platform_.FlushDnsCache()) {
        failures.add(texts::kDnsCacheTarget, error);
    }
}

std::wstring BrowserRepair::registryBackupFile() const {
    return paths_.ok()
               ? paths_.value().strBackupRegistro
               : std::wstring(texts::kSystemFolderUnknown) + L"\\drivers\\etc\\BackupRegistro.reg";
}

void BrowserRepair::runHostsPhase(FailureLog& failures) {
    if (!paths_.ok()) {
        for (const auto folder : kUnknownHostsFolders) {
            failures.add(std::wstring(folder) + L"\\drivers\\etc\\hosts", paths_.error());
        }
        view_.appendLine(texts::kHostsBackedUp);
        view_.appendLine(texts::kHostsRestored);
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
        changedAFile = EscribirHosts(platform_, pairs[i], backups[i], failures) || changedAFile;
    }
    // Names must resolve by the new HOSTS file now, not after a restart.
    if (changedAFile) {
        flushResolverCache(failures);
    }
    view_.appendLine(texts::kHostsRestored);
}

void BrowserRepair::reportFailures(const FailureLog& failures) {
    if (failures.entries().empty()) {
        platform_.ShowMessage(texts::kRepairSucceededPrompt, MessageStyle::Information,
                              texts::kFinishedTitle);
        return;
    }
    appendErrorLines(failures);
    platform_.ShowMessage(
        std::wstring(texts::kRepairFailedPromptPrefix) + std::to_wstring(failures.entries().size()),
        MessageStyle::Warning, texts::kFinishedTitle);
}

void BrowserRepair::appendErrorLines(const FailureLog& failures) {
    for (const auto& failure : failures.entries()) {
        view_.appendLine(std::wstring(texts::kErrorLinePrefix) + failure.target + L" (" +
                         failure.reason + L")");
    }
}

void BrowserRepair::DeshacerCambios() {
    if (!paths_.ok()) {
        reportUndoFailure(std::wstring(texts::kSystemFolderUnknown) + L"\\drivers\\etc\\hosts",
                          platform_.DescribeError(paths_.error()));
        return;
    }
    FailureLog failures(platform_);
    // The whole backup is read and checked before the registry changes at all.
    auto backup = loadRegistryBackup(platform_, paths_.value().strBackupRegistro);
    if (const auto* refused = std::get_if<RefusedRegistryBackup>(&backup)) {
        reportUndoFailure(paths_.value().strBackupRegistro, refused->reason);
        return;
    }
    if (const auto* sections = std::get_if<std::vector<RegistryFileSection>>(&backup)) {
        restoreRegistry(platform_, *sections, platform_.HasTwoRegistryViews(), failures);
    }
    const auto hosts = restoreHostsFiles(platform_, paths_.value());
    if (hosts.changedAFile) {
        flushResolverCache(failures);
    }
    if (hosts.failure) {
        reportUndoFailure(hosts.failure->hosts, platform_.DescribeError(hosts.failure->error));
        return;
    }
    view_.clearList();
    view_.appendLine(texts::kUndoDone);
    if (failures.entries().empty()) {
        platform_.ShowMessage(texts::kUndoFinishedPrompt, MessageStyle::Information,
                              texts::kFinishedTitle);
        return;
    }
    appendErrorLines(failures);
    platform_.ShowMessage(std::wstring(texts::kUndoWithFailuresPromptPrefix) +
                              std::to_wstring(failures.entries().size()),
                          MessageStyle::Warning, texts::kFinishedTitle);
}

void BrowserRepair::reportUndoFailure(std::wstring_view file, std::wstring_view reason) {
    platform_.ShowMessage(std::wstring(texts::kUndoFailedPromptPrefix) + std::wstring(file) +
                              L"\r\n" + std::wstring(reason),
                          MessageStyle::Error, texts::kErrorTitle);
}

}  // namespace tovask
