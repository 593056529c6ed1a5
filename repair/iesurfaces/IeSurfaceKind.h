#pragma once

#include "repair/report/FindingKindRow.h"

namespace tovask {

// Internet Explorer's own search scopes, add-ons and security zones (/browsers).
const FindingKindRow& ieSurfaceKind();

}  // namespace tovask
