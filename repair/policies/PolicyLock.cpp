#include "repair/policies/PolicyLock.h"

#include "repair/policies/PolicyKeyContent.h"

namespace tovask {

std::wstring placeOf(const PolicyLock& lock) {
    const auto place = joinPath(lock.keyPath, lock.valueName);
    return lock.entry.empty() ? place : joinPath(place, lock.entry);
}

}  // namespace tovask
