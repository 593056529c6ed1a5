#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <variant>
#include <vector>

#include "platform/PlatformOps.h"
#include "repair/backup/BackupScope.h"
#include "repair/backup/RegistryFile.h"
#include "repair/plan/PlannedChanges.h"

namespace tovask {

// No backup the program writes is larger; a larger file is not read at all.
inline constexpr std::size_t kMaxRegistryBackupBytes = 16 * 1024 * 1024;

// Saves the captured state, replacing the earlier backup in one step.
// Returns what stopped the backup.
std::error_code saveRegistryBackup(PlatformOps& platform,
                                   std::span<const RegistryFileSection> sections,
                                   std::wstring_view backupFile);

struct NoRegistryBackup {};
struct RefusedRegistryBackup {
    std::wstring reason;  // for the user
};
using LoadedRegistryBackup =
    std::variant<NoRegistryBackup, std::vector<RegistryFileSection>, RefusedRegistryBackup>;

// Reads the whole backup and checks it before anything is restored: a file
// that is damaged, or that reaches beyond the repair plan and the kinds'
// reach, is refused.
LoadedRegistryBackup loadRegistryBackup(PlatformOps& platform, std::wstring_view backupFile,
                                        RegistryReach kindsReach);

}  // namespace tovask
