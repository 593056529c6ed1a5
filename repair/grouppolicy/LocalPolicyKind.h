#pragma once

#include "repair/report/FindingKindRow.h"

namespace tovask {

// The browser locks that the machine's local Group Policy files put back at
// every policy refresh (/browsers). It comes before the policy locks' row, so
// that the files lose their locks before that row asks for a refresh.
const FindingKindRow& localPolicyKind();

}  // namespace tovask
