#include "repair/policies/DeviceEnrollments.h"

#include "repair/policies/PolicyKeyContent.h"
#include "text/RegistryEncoding.h"

namespace tovask {
namespace {

// The text of a string value; empty when the value is missing or of another type.
std::wstring textNamed(const RegistryKeyContent& key, std::wstring_view name) {
    const auto* value = findValue(key, name);
    return value == nullptr ? std::wstring() : textOf(value->value).value_or(L"");
}

}  // namespace

DeviceEnrollments readDeviceEnrollments(const RegistryKeyContent& enrollments) {
    DeviceEnrollments result;
    for (const auto& enrollment : enrollments.subkeys) {
        const auto providerId = textNamed(enrollment, L"ProviderID");
        if (providerId.empty()) {
            continue;
        }
        if (textNamed(enrollment, L"UPN").empty()) {
            result.withoutUser.push_back({enrollment.name, providerId});
        } else {
            result.enrolled = true;
        }
    }
    return result;
}

}  // namespace tovask
