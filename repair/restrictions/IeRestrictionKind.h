#pragma once

#include "repair/report/FindingKindRow.h"

namespace tovask {

// Internet Explorer's own restrictions that hide its menus and options (/browsers).
const FindingKindRow& ieRestrictionKind();

}  // namespace tovask
