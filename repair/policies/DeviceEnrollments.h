#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "values/RegistryValue.h"

namespace tovask {

// What one key below HKLM\SOFTWARE\Microsoft\Enrollments says of itself.
// Software that wants browsers to obey its policies writes such keys too, so
// none of it is believed until checked.
struct EnrollmentClaim {
    std::wstring keyName;  // the GUID below Enrollments
    std::wstring providerId;
    std::optional<std::uint32_t> state;  // EnrollmentState
    std::optional<std::uint32_t> type;   // EnrollmentType
    std::wstring certificateThumbprint;  // DMPCertThumbPrint
    std::wstring userSid;                // SID: the enrolled user, when there is one

    bool operator==(const EnrollmentClaim&) const = default;
};

// Every enrollment key that names a management provider (ProviderID).
std::vector<EnrollmentClaim> readDeviceEnrollments(const RegistryKeyContent& enrollments);

// The thumbprint in upper case when the registry says what an active device
// management enrollment says: enrolled (state 1), of a management type (not
// 0), with the 40 hexadecimal digits of its certificate's thumbprint. The
// certificate and the management account are for the caller to find.
std::optional<std::wstring> activeEnrollmentThumbprint(const EnrollmentClaim& claim);

}  // namespace tovask
