#include "repair/startup/StartupKind.h"

#include "repair/startup/StartupEntries.h"
#include "repair/startup/StartupTexts.h"

namespace tovask {
namespace {

class StartupFindings : public KindFindings {
  public:
    StartupFindings(PlatformOps& platform, const FindingScope& scope, FailureLog& failures)
        : entries_(findStartupEntries(platform, scope.userHives, scope.managedMachine, failures)) {}

    std::vector<Finding> findings() const override {
        std::vector<Finding> findings;
        for (const auto& entry : entries_) {
            findings.push_back(entry.finding);
        }
        return findings;
    }

    std::vector<Finding> addRegistryBackup(std::vector<RegistryFileSection>& sections,
                                           FailureLog&) override {
        for (const auto& entry : entries_) {
            if (entry.finding.repairable) {
                sections.push_back(entry.backup);
            }
        }
        backedUp_ = true;
        return {};
    }

    void repair(PlatformOps& platform, FileBackup&, const OutcomeReport& report,
                FailureLog& failures) override {
        for (const auto& entry : entries_) {
            if (backedUp_ && entry.finding.repairable) {
                report(std::span(&entry.finding, 1), removeStartupEntry(platform, entry, failures));
            }
        }
    }

    // Windows reads the keys again at the next logon.
    void announce(PlatformOps&, ProgressView&, FailureLog&) override {}

  private:
    std::vector<StartupEntry> entries_;
    bool backedUp_ = false;
};

std::unique_ptr<KindFindings> lookForStartupEntries(PlatformOps& platform,
                                                    const FindingScope& scope,
                                                    FailureLog& failures) {
    return std::make_unique<StartupFindings>(platform, scope, failures);
}

constexpr FindingKindRow kStartupKind{
    FindingKind::Startup,
    L"startup",
    {texts::kStartupHeading,
     texts::kStartupNotCounted,
     {},
     texts::kStartupRemovedPrefix,
     texts::kStartupNotRemovedPrefix,
     texts::kStartupLeftPrefix},
    lookForStartupEntries,
    withinStartupReach,
    nullptr,
};

}  // namespace

const FindingKindRow& startupKind() {
    return kStartupKind;
}

}  // namespace tovask
