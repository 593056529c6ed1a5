#pragma once

#include "values/Result.h"

namespace tovask::win32 {

struct MachineJoin {
    bool domainJoined = false;
    // Joined as a device to a cloud directory; a personal device that only
    // registered a work account is not.
    bool cloudJoined = false;
};

// Asks the network management library. A Windows without the cloud join call
// (before Windows 10, or Wine) is not joined to a cloud directory.
Result<MachineJoin> machineJoin();

}  // namespace tovask::win32
