#pragma once

#include "repair/report/FindingKindRow.h"

namespace tovask {

// What the browsers' own profile files set for start-up and search, and the
// extensions they load from users' folders: reported only (/browsers).
const FindingKindRow& preferencesKind();

}  // namespace tovask
