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
    FindingKind::BrowserDebugger,
    L"browsers",
    {texts::kDebuggersHeading, texts::kFindingsNotCounted, texts::kManagedDebuggersLeft,
     texts::kDebuggerRemovedPrefix, texts::kDebuggerNotRemovedPrefix, texts::kDebuggerLeftPrefix,
     texts::kDebuggerWhatIsWrong, texts::kDebuggerWhyLeft, texts::kLocksRemovedCount},
    lookForBrowserDebuggers,
    withinDebuggerReach,
    nullptr,
};

}  // namespace

const FindingKindRow& debuggerKind() {
    return kDebuggerKind;
}

}  // namespace tovask
