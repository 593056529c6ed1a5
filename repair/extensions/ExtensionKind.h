#pragma once

#include "repair/report/FindingKindRow.h"

namespace tovask {

// Extensions the Chromium browsers install from the registry, outside their
// stores (/browsers).
const FindingKindRow& extensionKind();

}  // namespace tovask
