#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PlatformOps.h"
#include "repair/backup/files/FileBackup.h"
#include "repair/grouppolicy/PolicyFileLocks.h"
#include "repair/report/FailureLog.h"
#include "repair/report/Finding.h"

namespace tovask {

// One local Group Policy file that sets a lock, as read.
struct LocalPolicyFile {
    std::wstring path;
    // The gpt.ini of its policy object, and how much the editor raises its version.
    std::wstring gptIni;
    std::uint32_t versionStep = 0;
    std::string bytes;
    std::vector<PolicyFileEntry> entries;
    std::vector<PolicyFileLock> locks;
};

// A local policy file, or the folder of the users' ones, that could not be
// read: Windows may still apply it, and so put back any lock of its hives.
struct UnreadLocalPolicy {
    std::wstring path;
    PolicyHives hives;
};

struct LocalPolicyFiles {
    std::vector<LocalPolicyFile> withLocks;
    std::vector<UnreadLocalPolicy> unread;
};

// The machine's and the users' local policy files (GroupPolicy\Machine,
// GroupPolicy\User, GroupPolicyUsers\<SID>\User) that set a lock. A 32-bit
// program on a 64-bit Windows reads them through the Windows folder's
// Sysnative alias, since System32 would lead it to SysWOW64. A file that
// cannot be read, or is not a policy file, is a failure and is left, among
// the unread.
LocalPolicyFiles findLocalPolicyFiles(PlatformOps& platform, FailureLog& failures);

std::vector<Finding> findingsOf(const LocalPolicyFile& file, bool repairable);
// Report-only: what an unread file would put back cannot be known.
Finding findingOf(const UnreadLocalPolicy& unread);

// Rewrites the file without its locks after copying it to the file backups.
// True when it was rewritten.
bool removeLocalPolicyLocks(PlatformOps& platform, const LocalPolicyFile& file, FileBackup& files,
                            FailureLog& failures);

// Raises the version in the gpt.ini as the Group Policy editor does on saving,
// after copying it to the file backups; a missing gpt.ini is left missing.
void raisePolicyVersion(PlatformOps& platform, std::wstring_view gptIni, std::uint32_t step,
                        FileBackup& files, FailureLog& failures);

// Whether a path names a local policy file or the gpt.ini beside it.
bool isLocalPolicyFilePath(std::wstring_view path);

}  // namespace tovask
