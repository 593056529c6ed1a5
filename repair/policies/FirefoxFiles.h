#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PlatformOps.h"
#include "repair/backup/files/FileBackup.h"
#include "repair/policykeys/PolicyLock.h"
#include "repair/report/FailureLog.h"
#include "repair/report/Finding.h"

namespace tovask {

// The Firefox installations' folders: those the installer names under
// HKLM\SOFTWARE\Mozilla\Mozilla Firefox\<version>\Main in each view, and
// "Mozilla Firefox" in each program folder; each once, whatever its case.
std::vector<std::wstring> firefoxInstallFolders(PlatformOps& platform, FailureLog& failures);

// A distribution\policies.json that holds locks.
struct LockedPolicyFile {
    std::wstring path;
    std::vector<PolicyLock> locks;
};

// A file that cannot be read or is not JSON is a failure; a missing one holds
// no lock.
std::vector<LockedPolicyFile> findLockedPolicyFiles(PlatformOps& platform,
                                                    std::span<const std::wstring> installFolders,
                                                    FailureLog& failures);

std::vector<Finding> findingsOf(std::span<const LockedPolicyFile> files, bool repairable);

// The defaults\pref\*.js scripts that hand Firefox an autoconfiguration file:
// report only, never changed.
std::vector<Finding> findAutoconfigScripts(PlatformOps& platform,
                                           std::span<const std::wstring> installFolders,
                                           FailureLog& failures);

// Rewrites the file without its locks, every other policy kept, once its
// bytes are in the backup; the new file keeps the old one's protection. True
// when the file no longer holds them.
bool removeFileLocks(PlatformOps& platform, const LockedPolicyFile& file, FileBackup& backup,
                     FailureLog& failures);

// Where the policy repair may write a file: a Firefox distribution\policies.json.
bool isPolicyFilePath(std::wstring_view path);

}  // namespace tovask
