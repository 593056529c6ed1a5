#pragma once

#include "repair/report/FindingKindRow.h"

namespace tovask {

// Browser shortcuts that open an address or load an extension (/shortcuts).
const FindingKindRow& shortcutKind();

}  // namespace tovask
