#pragma once

#include <span>
#include <string>
#include <vector>

#include "platform/PlatformOps.h"
#include "repair/backup/RegistryFile.h"
#include "repair/policykeys/BrowserPolicyKeys.h"
#include "repair/report/FailureLog.h"
#include "repair/report/Finding.h"
#include "text/RegistryPath.h"

namespace tovask {

// One browser's policy key in one hive and view, as read, with its locks.
struct LockedPolicyKey {
    const BrowserPolicyKey* browser;
    RegistryRoot root;
    std::wstring key;  // below the root, for HKU with the hive's name first
    RegistryView view;
    RegistryKeyContent content;
    std::vector<PolicyLock> locks;
};

// The locked policy keys in HKLM (each view) and in each of the users' hives
// ("HKCU" or "HKU\<name>"). A key that cannot be read is a failure; a missing
// one holds no lock.
std::vector<LockedPolicyKey> findLockedPolicyKeys(PlatformOps& platform,
                                                  std::span<const std::wstring> userHives,
                                                  FailureLog& failures);

std::vector<Finding> findingsOf(std::span<const LockedPolicyKey> keys, bool repairable);

// The registry-editor sections that put back every value the removal writes
// or deletes, and every list key it removes. Empty for a key whose names no
// registry file can hold: such a key is logged and must be left as it is.
std::vector<RegistryFileSection> backupSectionsFor(const LockedPolicyKey& key,
                                                   FailureLog& failures);

// Removes the key's locks and nothing else; each failed write is logged.
// True when every write was made.
bool removeLocks(PlatformOps& platform, const LockedPolicyKey& key, FailureLog& failures);

// Whether a backup section reaches only what the removal may change: in a
// browser's policy key or its Recommended subkey the values its rules name,
// and any entry of their list subkeys and policy subtrees.
bool withinPolicyReach(const RegistryFileSection& section, bool hasTwoViews);

}  // namespace tovask
