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
    FindingKind::InterceptionRoot,
    L"network",
    {texts::kCertificatesHeading,
     texts::kCertificatesNotCounted,
     {},
     texts::kCertificateRemovedPrefix,
     texts::kCertificateNotRemovedPrefix,
     texts::kCertificateLeftPrefix,
     texts::kCertificateWhatIsWrong,
     texts::kCertificateWhyLeft,
     texts::kCertificatesRemovedCount},
    lookFor<CertificateFindings>,
    withinRootStoreReach,
    nullptr,
};

}  // namespace

const FindingKindRow& certificateKind() {
    return kCertificateKind;
}

}  // namespace tovask
