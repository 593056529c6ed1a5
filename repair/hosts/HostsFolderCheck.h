#pragma once

#include <optional>

#include "platform/PlatformOps.h"
#include "repair/plan/PlannedChanges.h"
#include "values/Result.h"

namespace tovask {

// The change that points Windows at its own HOSTS folder again, when the
// folder it reads HOSTS from names another one; none when the value is
// missing or names the default folder in any spelling (before or after
// expansion, any case, with or without a trailing backslash).
Result<std::optional<PlannedChange>> hostsFolderChange(PlatformOps& platform);

}  // namespace tovask
