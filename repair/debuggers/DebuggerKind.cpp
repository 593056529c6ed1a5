#include "repair/debuggers/DebuggerKind.h"

#include "repair/debuggers/BrowserDebuggers.h"
#include "repair/debuggers/DebuggerTexts.h"
#include "repair/report/FindingTexts.h"

namespace tovask {
namespace {

std::unique_ptr<KindFindings> lookForBrowserDebuggers(PlatformOps& platform,
                                                      const FindingScope& scope,
                                                      FailureLog& failures) {
    return std::make_unique<RemovableValueFindings>(
        findBrowserDebuggers(platform, scope.managedMachine, failures));
}

constexpr FindingKindRow kDebuggerKind{
    .kind = FindingKind::BrowserDebugger,
    .name = L"browserDebugger",
    .commandSwitch = L"browsers",
    .texts = {.heading = texts::kDebuggersHeading,
              .notCounted = texts::kFindingsNotCounted,
              .managedNote = texts::kManagedDebuggersLeft,
              .repairedPrefix = texts::kDebuggerRemovedPrefix,
              .notRepairedPrefix = texts::kDebuggerNotRemovedPrefix,
              .leftPrefix = texts::kDebuggerLeftPrefix,
              .whatIsWrong = texts::kDebuggerWhatIsWrong,
              .whyLeft = texts::kDebuggerWhyLeft,
              .repairedCount = texts::kDebuggersRemovedCount,
              .repairDoes = texts::kDebuggerRepairDoes,
              .whatYouCanDo = texts::kDebuggerWhatYouCanDo},
    .find = lookForBrowserDebuggers,
    .withinRegistryReach = withinDebuggerReach,
};

}  // namespace

const FindingKindRow& debuggerKind() {
    return kDebuggerKind;
}

}  // namespace tovask
