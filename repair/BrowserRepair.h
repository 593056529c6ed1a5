#pragma once

#include <cstdint>
#include <string_view>
#include <system_error>

#include "platform/PlatformOps.h"
#include "platform/Result.h"
#include "repair/FailureLog.h"
#include "repair/HostsFiles.h"
#include "repair/ProgressView.h"

namespace tovask {

// The browser repair behind the window's two main buttons: the browser check,
// the repair run (registry backup and plan, then the HOSTS files) and the
// undo (registry, then HOSTS files). Reports go to the progress list and to
// message boxes.
class BrowserRepair {
  public:
    BrowserRepair(PlatformOps& platform, ProgressView& view);

    // The window's load step: finds the Windows and system folders once.
    void loadPaths();
    const Result<HostsPaths>& paths() const { return paths_; }

    // Runs the repair unless a top-level window of the class is open.
    void VerificarNavegador(std::wstring_view className);
    // Puts the registry back from its backup, then each HOSTS backup back
    // over its HOSTS file.
    void DeshacerCambios();

  private:
    void DesbloquearIE();
    void runRegistryPhase(std::wstring_view startPage, FailureLog& failures);
    std::wstring registryBackupFile() const;
    void runHostsPhase(FailureLog& failures);
    void flushResolverCache(FailureLog& failures);
    void reportFailures(const FailureLog& failures);
    void appendErrorLines(const FailureLog& failures);
    void reportUndoFailure(std::wstring_view file, std::wstring_view reason);

    PlatformOps& platform_;
    ProgressView& view_;
    Result<HostsPaths> paths_;
    std::uintptr_t hwndNavegador_ = 0;
};

}  // namespace tovask
