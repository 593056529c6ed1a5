#include "repair/users/FactsOfThisRun.h"

namespace tovask {

FactsOfThisRun::~FactsOfThisRun() = default;

}  // namespace tovask
