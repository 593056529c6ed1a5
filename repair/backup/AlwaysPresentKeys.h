#pragma once

#include <string_view>

#include "text/RegistryPath.h"

namespace tovask {

// The keys on the way to the plan's keys that every Windows has: the run
// never creates them, so neither the backup nor its restore ever deletes one.
// A key under HKU starts with the user's SID, the root of that user's hive.
bool isAlwaysPresentKey(RegistryRoot root, std::wstring_view key);

}  // namespace tovask
