#include "repair/startup/StartupKind.h"

#include "repair/report/FindingTexts.h"
#include "repair/startup/StartupEntries.h"
#include "repair/startup/StartupTexts.h"

namespace tovask {
namespace {

std::unique_ptr<KindFindings> lookForStartupEntries(PlatformOps& platform,
                                                    const FindingScope& scope,
                                                    FailureLog& failures) {
    return std::make_unique<RemovableValueFindings>(
        findStartupEntries(platform, scope.userHives, scope.managedMachine, failures));
}

constexpr FindingKindRow kStartupKind{
    FindingKind::Startup,
    L"startup",
    {texts::kStartupHeading,
     texts::kStartupNotCounted,
     {},
     texts::kStartupRemovedPrefix,
     texts::kStartupNotRemovedPrefix,
     texts::kStartupLeftPrefix,
     texts::kStartupWhatIsWrong,
     texts::kStartupWhyLeft,
     texts::kLocksRemovedCount},
    lookForStartupEntries,
    withinStartupReach,
    nullptr,
};

}  // namespace

const FindingKindRow& startupKind() {
    return kStartupKind;
}

}  // namespace tovask
