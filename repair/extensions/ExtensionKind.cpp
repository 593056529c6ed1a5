#include "repair/extensions/ExtensionKind.h"

#include "repair/backup/RemovedKeyFindings.h"
#include "repair/extensions/ExtensionTexts.h"
#include "repair/extensions/RegistryExtensions.h"
#include "repair/report/FindingTexts.h"

namespace tovask {
namespace {

class ExtensionFindings : public RemovedKeyFindings<RegistryExtension> {
  public:
    ExtensionFindings(PlatformOps& platform, const FindingScope& scope, FailureLog& failures)
        : RemovedKeyFindings(
              findRegistryExtensions(platform, scope.userHives, scope.managedMachine, failures),
              texts::kRemovedExtensionsUninstalled) {}
};

constexpr FindingKindRow kExtensionKind{
    .kind = FindingKind::RegistryExtension,
    .name = L"registryExtension",
    .commandSwitch = L"browsers",
    .texts = {.heading = texts::kExtensionsHeading,
              .notCounted = texts::kExtensionsNotCounted,
              .repairedPrefix = texts::kExtensionRemovedPrefix,
              .notRepairedPrefix = texts::kExtensionNotRemovedPrefix,
              .leftPrefix = texts::kExtensionLeftPrefix,
              .whatIsWrong = texts::kExtensionWhatIsWrong,
              .whyLeft = texts::kExtensionWhyLeft,
              .repairedCount = texts::kExtensionsRemovedCount,
              .repairDoes = texts::kExtensionRepairDoes,
              .whatYouCanDo = texts::kExtensionWhatYouCanDo},
    .find = lookFor<ExtensionFindings>,
    .withinRegistryReach = withinExtensionReach,
};

}  // namespace

const FindingKindRow& extensionKind() {
    return kExtensionKind;
}

}  // namespace tovask
