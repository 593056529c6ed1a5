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
    FindingKind::RegistryExtension,
    L"browsers",
    {texts::kExtensionsHeading,
     texts::kExtensionsNotCounted,
     {},
     texts::kExtensionRemovedPrefix,
     texts::kExtensionNotRemovedPrefix,
     texts::kExtensionLeftPrefix,
     texts::kExtensionWhatIsWrong,
     texts::kExtensionWhyLeft,
     texts::kLocksRemovedCount},
    lookFor<ExtensionFindings>,
    withinExtensionReach,
    nullptr,
};

}  // namespace

const FindingKindRow& extensionKind() {
    return kExtensionKind;
}

}  // namespace tovask
