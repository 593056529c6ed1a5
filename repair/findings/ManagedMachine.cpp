#include "repair/findings/ManagedMachine.h"

#include <algorithm>

#include "repair/backup/RegistryKeyNames.h"
#include "repair/policies/DeviceEnrollments.h"
#include "repair/report/FindingTexts.h"
#include "text/RegistryPath.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

constexpr std::wstring_view kEnrollmentsKey = L"SOFTWARE\\Microsoft\\Enrollments";
constexpr std::wstring_view kManagementAccountsKey =
    L"SOFTWARE\\Microsoft\\Provisioning\\OMADM\\Accounts";
constexpr std::wstring_view kAccountSidStart = L"S-1-5-21-";

// The enrolled user's personal store is asked only for an account's SID;
// anything else names no store.
std::wstring enrolledUser(const EnrollmentClaim& claim) {
    const bool account = claim.userSid.starts_with(kAccountSidStart) &&
                         claim.userSid.find(L'\\') == std::wstring::npos;
    return account ? claim.userSid : std::wstring();
}

// Whether the enrollment is one the machine really has; a step that cannot
// be asked is a failure, and the enrollment then does not count.
bool verifiedEnrollment(PlatformOps& platform, const EnrollmentClaim& claim, RegistryView view,
                        FailureLog& failures) {
    const auto thumbprint = activeEnrollmentThumbprint(claim);
    if (!thumbprint) {
        return false;
    }
    const auto account =
        L"HKLM\\" + std::wstring(kManagementAccountsKey) + L"\\" + claim.keyName + L"\\";
    const auto accountExists = platform.RegKeyExists(account, view);
    if (!accountExists.ok()) {
        failures.add(account, accountExists.error());
        return false;
    }
    if (!accountExists.value()) {
        return false;
    }
    const auto keyed = platform.KeyedCertificates(enrolledUser(claim));
    if (!keyed.ok()) {
        failures.add(L"DMPCertThumbPrint " + *thumbprint, keyed.error());
        return false;
    }
    return std::ranges::any_of(keyed.value(), [&](const std::wstring& keyedThumbprint) {
        return equalsIgnoringCase(keyedThumbprint, *thumbprint);
    });
}

}  // namespace

ManagedMachine decideManagedMachine(PlatformOps& platform, FailureLog& failures) {
    ManagedMachine decision;
    const auto join = platform.MachineJoin();
    if (!join.ok()) {
        decision.managedBecause = std::wstring(texts::kManagedUnknown);
    } else if (join.value().domainJoined) {
        decision.managedBecause = std::wstring(texts::kManagedByDomain);
        decision.known = true;
    } else if (join.value().cloudJoined) {
        decision.managedBecause = std::wstring(texts::kManagedByCloud);
        decision.known = true;
    }
    for (const auto view :
         viewsFor(RegistryRoot::LocalMachine, kEnrollmentsKey, platform.HasTwoRegistryViews())) {
        const auto path = L"HKLM\\" + std::wstring(kEnrollmentsKey) + L"\\";
        const auto tree = platform.RegReadTree(path, view);
        if (!tree.ok()) {
            if (!isNotFound(tree.error())) {
                failures.add(path, tree.error());
            }
            continue;
        }
        for (const auto& claim : readDeviceEnrollments(tree.value())) {
            if (verifiedEnrollment(platform, claim, view, failures)) {
                if (!decision.managedBecause) {
                    decision.managedBecause = std::wstring(texts::kManagedByEnrollment);
                }
                decision.known = true;
                continue;
            }
            auto enrollment = withSubject(
                FindingSubject::DeviceEnrollment,
                {FindingKind::BrowserPolicy, std::wstring(texts::kEnrollmentGroup),
                 fileKeyName(RegistryRoot::LocalMachine,
                             std::wstring(kEnrollmentsKey) + L"\\" + claim.keyName, view),
                 std::wstring(texts::kUnverifiedEnrollmentHolds) + L" (" + claim.providerId + L")",
                 false});
            enrollment.title = {.what = texts::kUnverifiedEnrollmentTitle,
                                .value = claim.providerId};
            decision.unverifiedEnrollments.push_back(std::move(enrollment));
        }
    }
    return decision;
}

}  // namespace tovask
