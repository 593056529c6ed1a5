#pragma once

#include "repair/report/FindingKindRow.h"

namespace tovask {

// Debuggers put on the browsers' programs, which start another program in
// their place (/browsers).
const FindingKindRow& debuggerKind();

}  // namespace tovask
