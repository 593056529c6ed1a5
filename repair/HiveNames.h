#pragma once

#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "repair/RegistryFile.h"
#include "repair/UserHives.h"

namespace tovask {

// A hive loaded under a temporary name is named in the backup by its user's
// SID, never by that name, so that the backup stays right after the hive is
// unloaded: the names go from the loaded hive to the SID before a backup is
// written, and back before one is restored.
void nameHivesBySid(std::vector<RegistryFileSection>& sections, std::span<const UserHive> hives);
void nameHivesBySid(std::vector<std::wstring>& keys, std::span<const UserHive> hives);
void nameHivesAsLoaded(std::vector<RegistryFileSection>& sections, std::span<const UserHive> hives);

// The users whose hives the sections name, folded.
std::set<std::wstring> usersNamedIn(std::span<const RegistryFileSection> sections);

}  // namespace tovask
