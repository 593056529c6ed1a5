#pragma once

#include <string>
#include <vector>

#include "platform/RegistryValue.h"

namespace tovask {

// An enrollment key with a management provider but no user: what some
// hijackers write so that browsers honour their policies. Report only.
struct UserlessEnrollment {
    std::wstring keyName;  // the GUID below Enrollments
    std::wstring providerId;

    bool operator==(const UserlessEnrollment&) const = default;
};

struct DeviceEnrollments {
    bool enrolled = false;  // a subkey with both a ProviderID and a UPN: the machine is managed
    std::vector<UserlessEnrollment> withoutUser;
};

// Reads the content of HKLM\SOFTWARE\Microsoft\Enrollments.
DeviceEnrollments readDeviceEnrollments(const RegistryKeyContent& enrollments);

}  // namespace tovask
