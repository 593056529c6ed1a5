#include "repair/backup/RemovedKeyFindings.h"

#include "platform/PlatformOps.h"

namespace tovask {

bool removeRegistryKey(PlatformOps& platform, const KeyPlace& key, FailureLog& failures) {
    const auto path = platformKeyPath(key);
    const auto error = platform.RegDeleteIn(path, key.view);
    if (error && !isNotFound(error)) {
        failures.add(path, error);
        return false;
    }
    return true;
}

}  // namespace tovask
