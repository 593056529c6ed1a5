#include "repair/restrictions/IeRestrictionKind.h"

#include <algorithm>
#include <iterator>

#include "repair/report/FindingTexts.h"
#include "repair/restrictions/IeRestrictions.h"
#include "repair/restrictions/RestrictionTexts.h"

namespace tovask {
namespace {

class RestrictionFindings : public KindFindings {
  public:
    RestrictionFindings(PlatformOps& platform, const FindingScope& scope, FailureLog& failures)
        : repairable_(!scope.managedMachine),
          found_(findIeRestrictions(platform, scope.userHives, failures)) {}

    std::vector<Finding> findings() const override { return findingsOf(found_, repairable_); }

    void keepOnly(std::span<const FindingId> chosen) override {
        keepChosen(found_, findings(), chosen);
    }

    // Every value's name comes from the table, so each can be backed up.
    std::vector<Finding> addRegistryBackup(std::vector<RegistryFileSection>& sections,
                                           FailureLog&) override {
        std::ranges::move(backupSectionsFor(found_), std::back_inserter(sections));
        return {};
    }

    void repair(PlatformOps& platform, FileBackup&, const OutcomeReport& report,
                FailureLog& failures) override {
        for (const auto& restriction : found_) {
            const bool removed = removeRestriction(platform, restriction, failures);
            report(findingsOf(std::span(&restriction, 1), true), removed);
        }
    }

    // The browser reads its restrictions as it starts, and it is closed.
    void announce(PlatformOps&, ProgressView&, FailureLog&) override {}

  private:
    bool repairable_;
    std::vector<IeRestriction> found_;
};

constexpr FindingKindRow kIeRestrictionKind{
    .kind = FindingKind::IeRestriction,
    .name = L"ieRestriction",
    .commandSwitch = L"browsers",
    .texts = {.heading = texts::kRestrictionsHeading,
              .notCounted = texts::kRestrictionsNotCounted,
              .repairedPrefix = texts::kRestrictionRemovedPrefix,
              .notRepairedPrefix = texts::kRestrictionNotRemovedPrefix,
              .leftPrefix = texts::kRestrictionLeftPrefix,
              .whatIsWrong = texts::kRestrictionWhatIsWrong,
              .whyLeft = texts::kRestrictionWhyLeft,
              .repairedCount = texts::kRestrictionsRemovedCount,
              .repairDoes = texts::kRestrictionRepairDoes,
              .whatYouCanDo = texts::kRestrictionWhatYouCanDo},
    .find = lookFor<RestrictionFindings>,
    .withinRegistryReach = withinRestrictionReach,
};

}  // namespace

const FindingKindRow& ieRestrictionKind() {
    return kIeRestrictionKind;
}

}  // namespace tovask
