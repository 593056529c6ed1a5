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

// Files in an installation's folder that Firefox applies at every start, and
// that come back until they go, each found with the file it hands Firefox,
// if any: a distribution\distribution.ini that sets preferences; each
// distribution\extensions\*.xpi, which Firefox installs into every profile;
// a defaults\pref\*.js script that names an autoconfiguration file, with
// that .cfg beside Firefox. The repair removes them together, the one
// Firefox reads first first: Firefox refuses to start when the script names a
// file that is gone.
struct InstallFile {
    std::vector<std::wstring> paths;
    Finding finding;
};

// A file that cannot be read, and a folder that cannot be listed or is
// listed only in part, are failures; they skip only themselves.
std::vector<InstallFile> findInstallFiles(PlatformOps& platform,
                                          std::span<const std::wstring> installFolders,
                                          bool repairable, FailureLog& failures);

std::vector<Finding> findingsOf(std::span<const InstallFile> files);

// Moves the files into the file backups: each is copied, then deleted only
// while it is still the file copied, by no link or other name. None is
// touched unless every one can be read and backed up whole. True when they
// are gone.
bool removeInstallFile(PlatformOps& platform, const InstallFile& file, FileBackup& backup,
                       FailureLog& failures);

// Rewrites the file without its locks, every other policy kept, once its
// bytes are in the backup; the new file keeps the old one's protection. True
// when the file no longer holds them.
bool removeFileLocks(PlatformOps& platform, const LockedPolicyFile& file, FileBackup& backup,
                     FailureLog& failures);

// Where the policy repair may write or remove a file, by where it lies in a
// Firefox installation's folder: distribution\policies.json,
// distribution\distribution.ini, distribution\extensions\<name>.xpi,
// defaults\pref\<name>.js and <name>.cfg in the folder itself.
bool isPolicyFilePath(std::wstring_view path);

}  // namespace tovask
