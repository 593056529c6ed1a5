#include "repair/debuggers/DebuggerKind.h"

#include "repair/debuggers/BrowserDebuggers.h"
#include "repair/debuggers/DebuggerTexts.h"
#include "repair/report/FindingTexts.h"

namespace tovask {
namespace {

class DebuggerFindings : public KindFindings {
  public:
    DebuggerFindings(PlatformOps& platform, const FindingScope& scope, FailureLog& failures)
        : debuggers_(findBrowserDebuggers(platform, scope.managedMachine, failures)) {}

    std::vector<Finding> findings() const override {
        std::vector<Finding> findings;
        for (const auto& debugger : debuggers_) {
            findings.push_back(debugger.finding);
        }
        return findings;
    }

    std::vector<Finding> addRegistryBackup(std::vector<RegistryFileSection>& sections,
                                           FailureLog&) override {
        for (const auto& debugger : debuggers_) {
            if (debugger.finding.repairable) {
                sections.push_back(backupSectionFor(debugger));
            }
        }
        backedUp_ = true;
        return {};
    }

    void repair(PlatformOps& platform, FileBackup&, const OutcomeReport& report,
                FailureLog& failures) override {
        for (const auto& debugger : debuggers_) {
            if (backedUp_ && debugger.finding.repairable) {
                report(std::span(&debugger.finding, 1),
                       removeDebugger(platform, debugger, failures));
            }
        }
    }

    // The next start of the browser reads the options again.
    void announce(PlatformOps&, ProgressView&, FailureLog&) override {}

  private:
    std::vector<BrowserDebugger> debuggers_;
    bool backedUp_ = false;
};

std::unique_ptr<KindFindings> lookForBrowserDebuggers(PlatformOps& platform,
                                                      const FindingScope& scope,
                                                      FailureLog& failures) {
    return std::make_unique<DebuggerFindings>(platform, scope, failures);
}

constexpr FindingKindRow kDebuggerKind{
    FindingKind::BrowserDebugger,
    L"browsers",
    {texts::kDebuggersHeading, texts::kFindingsNotCounted, texts::kManagedDebuggersLeft,
     texts::kDebuggerRemovedPrefix, texts::kDebuggerNotRemovedPrefix, texts::kDebuggerLeftPrefix},
    lookForBrowserDebuggers,
    withinDebuggerReach,
    nullptr,
};

}  // namespace

const FindingKindRow& debuggerKind() {
    return kDebuggerKind;
}

}  // namespace tovask
