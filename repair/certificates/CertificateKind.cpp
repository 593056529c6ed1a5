#include "repair/certificates/CertificateKind.h"

#include "repair/backup/RemovedKeyFindings.h"
#include "repair/certificates/CertificateTexts.h"
#include "repair/certificates/RootCertificates.h"

namespace tovask {
namespace {

class CertificateFindings : public RemovedKeyFindings<InterceptionRoot> {
  public:
    CertificateFindings(PlatformOps& platform, const FindingScope& scope, FailureLog& failures)
        : RemovedKeyFindings(
              findInterceptionRoots(platform, scope.userHives, scope.managedMachine, failures),
              texts::kRemovedCertificatesUntrusted) {}
};

constexpr FindingKindRow kCertificateKind{
    .kind = FindingKind::InterceptionRoot,
    .name = L"interceptionRoot",
    .commandSwitch = L"network",
    .texts = {.heading = texts::kCertificatesHeading,
              .notCounted = texts::kCertificatesNotCounted,
              .repairedPrefix = texts::kCertificateRemovedPrefix,
              .notRepairedPrefix = texts::kCertificateNotRemovedPrefix,
              .leftPrefix = texts::kCertificateLeftPrefix,
              .whatIsWrong = texts::kCertificateWhatIsWrong,
              .whyLeft = texts::kCertificateWhyLeft,
              .repairedCount = texts::kCertificatesRemovedCount,
              .repairDoes = texts::kCertificateRepairDoes,
              .whatYouCanDo = texts::kCertificateWhatYouCanDo},
    .find = lookFor<CertificateFindings>,
    .withinRegistryReach = withinRootStoreReach,
};

}  // namespace

const FindingKindRow& certificateKind() {
    return kCertificateKind;
}

}  // namespace tovask
