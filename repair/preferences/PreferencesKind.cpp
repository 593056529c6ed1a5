#include "repair/preferences/PreferencesKind.h"

#include "repair/preferences/PreferenceTexts.h"
#include "repair/preferences/ProfilePreferences.h"

namespace tovask {
namespace {

// The files are the browser's own, guarded by its checksums: a rewrite
// could make the browser discard the profile, so each finding is listed only.
class PreferenceFindings : public KindFindings {
  public:
    PreferenceFindings(PlatformOps& platform, const FindingScope& scope, FailureLog& failures)
        : found_(findProfilePreferences(platform, scope.userHives, scope.userFolders, failures)) {}

    std::vector<Finding> findings() const override { return found_; }
    // None is repairable, so every one stays.
    void keepOnly(std::span<const FindingId>) override {}
    std::vector<Finding> addRegistryBackup(std::vector<RegistryFileSection>&,
                                           FailureLog&) override {
        return {};
    }
    void repair(PlatformOps&, FileBackup&, const OutcomeReport&, FailureLog&) override {}
    void announce(PlatformOps&, ProgressView&, FailureLog&) override {}

  private:
    std::vector<Finding> found_;
};

constexpr FindingKindRow kPreferencesKind{
    .kind = FindingKind::ProfilePreference,
    .name = L"profilePreference",
    .commandSwitch = L"browsers",
    .texts = {.heading = texts::kPreferencesHeading,
              .whatIsWrong = texts::kPreferenceWhatIsWrong,
              .whyLeft = texts::kPreferenceWhyLeft,
              .whatYouCanDo = texts::kPreferenceWhatYouCanDo},
    .find = lookFor<PreferenceFindings>,
};

}  // namespace

const FindingKindRow& preferencesKind() {
    return kPreferencesKind;
}

}  // namespace tovask
