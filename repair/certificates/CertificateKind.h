#pragma once

#include "repair/report/FindingKindRow.h"

namespace tovask {

// Root certificates that let a program read secure pages (/network).
const FindingKindRow& certificateKind();

}  // namespace tovask
