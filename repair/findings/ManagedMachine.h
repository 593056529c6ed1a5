#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/PlatformOps.h"
#include "repair/report/FailureLog.h"
#include "repair/report/Finding.h"

namespace tovask {

// Decided once per run, before any finding: on a machine an organisation
// manages, its policies, machine-wide proxies and DNS servers are its own,
// so they are reported and left; what no organisation deploys (a user's
// shortcuts, a proxy or script served from the user's own folders) stays
// repairable.
struct ManagedMachine {
    std::optional<std::wstring> managedBecause;  // the report line that says why
    // Known to be managed, not only taken for it because the join could not
    // be told: only then are the registry plan's policy rows and the HOSTS
    // entries left to the organisation, so that an error never leaves a
    // hijack in place.
    bool known = false;
    // Enrollments that could not be checked, as hijackers write them: report only.
    std::vector<Finding> unverifiedEnrollments;
};

// Joined to a domain or a cloud directory, or enrolled in device management
// in a way that can be checked: an active enrollment of a management type,
// its management account, and its certificate with a private key in the
// machine's or the enrolled user's personal store. A join that cannot be
// told counts as managed; an enrollment that cannot be read or checked does
// not, and is a failure or a report-only finding.
ManagedMachine decideManagedMachine(PlatformOps& platform, FailureLog& failures);

}  // namespace tovask
