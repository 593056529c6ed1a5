#include "repair/findings/ManagedMachine.h"

#include "repair/backup/RegistryKeyNames.h"
#include "repair/findings/FindingTexts.h"
#include "repair/policies/DeviceEnrollments.h"
#include "text/RegistryPath.h"

namespace tovask {
namespace {

constexpr std::wstring_view kEnrollmentsKey = L"SOFTWARE\\Microsoft\\Enrollments";

}  // namespace

ManagedMachine decideManagedMachine(PlatformOps& platform, FailureLog& failures) {
    ManagedMachine decision;
    const auto join = platform.MachineJoin();
    if (!join.ok()) {
        decision.managedBecause = std::wstring(texts::kManagedUnknown);
    } else if (join.value().domainJoined) {
        decision.managedBecause = std::wstring(texts::kManagedByDomain);
    } else if (join.value().cloudJoined) {
        decision.managedBecause = std::wstring(texts::kManagedByCloud);
    }
    for (const auto view : viewsFor(RegistryRoot::LocalMachine, platform.HasTwoRegistryViews())) {
        const auto path = L"HKLM\\" + std::wstring(kEnrollmentsKey) + L"\\";
        const auto tree = platform.RegReadTree(path, view);
        if (!tree.ok()) {
            if (!isNotFound(tree.error())) {
                failures.add(path, tree.error());
                decision.managedBecause = std::wstring(texts::kManagedUnknown);
            }
            continue;
        }
        const auto enrollments = readDeviceEnrollments(tree.value());
        if (enrollments.enrolled && !decision.managedBecause) {
            decision.managedBecause = std::wstring(texts::kManagedByEnrollment);
        }
        for (const auto& userless : enrollments.withoutUser) {
            decision.fakeEnrollments.push_back(
                {FindingKind::BrowserPolicy, std::wstring(texts::kFakeEnrollmentGroup),
                 fileKeyName(RegistryRoot::LocalMachine,
                             std::wstring(kEnrollmentsKey) + L"\\" + userless.keyName, view),
                 std::wstring(texts::kFakeEnrollmentHolds) + L" (" + userless.providerId + L")",
                 false});
        }
    }
    return decision;
}

}  // namespace tovask
