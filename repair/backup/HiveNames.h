#pragma once

#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "repair/backup/RegistryFile.h"
#include "repair/users/UserHives.h"

namespace tovask {

// A hive loaded under a temporary name is named in the backup by its user's
// SID, never by that name, so that the backup stays right after the hive is
// unloaded: the names go from the loaded hive to the SID before a backup is
// written, and back before one is restored.
void nameHivesBySid(std::vector<RegistryFileSection>& sections, std::span<const UserHive> hives);
void nameHivesBySid(std::vector<std::wstring>& keys, std::span<const UserHive> hives);
// The program's own user is named by SID too, so that an undo run by another
// administrator, or by the system, puts back this user's settings and not its
// own. A user that is not an account (the system's own) stays the current user.
void nameCurrentUserBySid(std::vector<RegistryFileSection>& sections, std::wstring_view sid);
void nameHivesAsLoaded(std::vector<RegistryFileSection>& sections, std::span<const UserHive> hives);
// The undo reaches the settings of the user it runs as through that user's own
// hive, which needs no loading.
void nameCurrentUserAsCurrent(std::vector<RegistryFileSection>& sections, std::wstring_view sid);

// The users whose hives the sections name, folded.
std::set<std::wstring> usersNamedIn(std::span<const RegistryFileSection> sections);

}  // namespace tovask
