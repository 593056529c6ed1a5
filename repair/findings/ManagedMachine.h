#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/PlatformOps.h"
#include "repair/findings/Finding.h"
#include "repair/run/FailureLog.h"

namespace tovask {

// Decided once per run, before any finding: on a machine an organisation
// manages, policies are its own, so every finding is reported and none changed.
struct ManagedMachine {
    std::optional<std::wstring> managedBecause;  // the report line that says why
    // Enrollments without a user, as hijackers write them: report only.
    std::vector<Finding> fakeEnrollments;
};

// Joined to a domain or a cloud directory, or enrolled in device management
// with a user. A machine whose join or enrollments cannot be told counts as
// managed; enrollments that cannot be read are a failure too.
ManagedMachine decideManagedMachine(PlatformOps& platform, FailureLog& failures);

}  // namespace tovask
