#pragma once

#include "repair/report/FindingKindRow.h"

namespace tovask {

// The browsers' policy locks, in the registry and in Firefox's policy files
// (/browsers); Firefox's automatic configuration scripts are reported only.
const FindingKindRow& policyKind();

}  // namespace tovask
