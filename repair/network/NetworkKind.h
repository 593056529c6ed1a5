#pragma once

#include "repair/report/FindingKindRow.h"

namespace tovask {

// Proxies, automatic configuration scripts and DNS servers that send the
// browsers elsewhere (/network).
const FindingKindRow& networkKind();

}  // namespace tovask
