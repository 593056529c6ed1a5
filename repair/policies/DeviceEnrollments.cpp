#include "repair/policies/DeviceEnrollments.h"

#include <algorithm>
#include <cwctype>

#include "repair/policykeys/PolicyKeyContent.h"
#include "text/RegistryEncoding.h"

namespace tovask {
namespace {

constexpr std::uint32_t kEnrolled = 1;
constexpr std::size_t kThumbprintDigits = 40;

// The text of a string value; empty when the value is missing or of another type.
std::wstring textNamed(const RegistryKeyContent& key, std::wstring_view name) {
    const auto* value = findValue(key, name);
    return value == nullptr ? std::wstring() : textOf(value->value).value_or(L"");
}

std::optional<std::uint32_t> numberNamed(const RegistryKeyContent& key, std::wstring_view name) {
    const auto* value = findValue(key, name);
    return value == nullptr ? std::nullopt : dwordOf(value->value);
}

bool isHexDigit(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

}  // namespace

std::vector<EnrollmentClaim> readDeviceEnrollments(const RegistryKeyContent& enrollments) {
    std::vector<EnrollmentClaim> claims;
    for (const auto& enrollment : enrollments.subkeys) {
        auto providerId = textNamed(enrollment, L"ProviderID");
        if (providerId.empty()) {
            continue;
        }
        claims.push_back(
            {enrollment.name, std::move(providerId), numberNamed(enrollment, L"EnrollmentState"),
             numberNamed(enrollment, L"EnrollmentType"),
             textNamed(enrollment, L"DMPCertThumbPrint"), textNamed(enrollment, L"SID")});
    }
    return claims;
}

std::optional<std::wstring> activeEnrollmentThumbprint(const EnrollmentClaim& claim) {
    auto thumbprint = claim.certificateThumbprint;
    if (claim.state != kEnrolled || claim.type.value_or(0) == 0 ||
        thumbprint.size() != kThumbprintDigits || !std::ranges::all_of(thumbprint, isHexDigit)) {
        return std::nullopt;
    }
    std::ranges::transform(thumbprint, thumbprint.begin(),
                           [](wchar_t c) { return static_cast<wchar_t>(std::towupper(c)); });
    return thumbprint;
}

}  // namespace tovask
