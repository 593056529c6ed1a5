#pragma once

#include "repair/report/FindingKindRow.h"

namespace tovask {

// The programs that start by themselves and put a hijack back (/startup).
const FindingKindRow& startupKind();

}  // namespace tovask
