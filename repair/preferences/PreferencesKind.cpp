#include "repair/preferences/PreferencesKind.h"

#include <algorithm>
#include <array>

#include "repair/preferences/PreferenceTexts.h"
#include "repair/preferences/ProfilePreferences.h"
#include "repair/preferences/ProfileRepair.h"
#include "repair/preferences/ResetPage.h"
#include "repair/report/ProgressView.h"
#include "repair/texts/ProgramTexts.h"

namespace tovask {
namespace {

// The extensions the registry's extension keys install, by id.
std::vector<std::wstring> campaignExtensionsOf(std::span<const Finding> foundBefore) {
    std::vector<std::wstring> ids;
    for (const auto& finding : foundBefore) {
        if (finding.kind == FindingKind::RegistryExtension &&
            !finding.evidence.extensionId.empty()) {
            ids.push_back(finding.evidence.extensionId);
        }
    }
    return ids;
}

// A profile's files are the browser's own: they change only with the browser
// closed, and only by taking out what the hijacker set, so that the browser
// itself goes back to its defaults.
class PreferenceFindings : public KindFindings {
  public:
    PreferenceFindings(PlatformOps& platform, const FindingScope& scope, FailureLog& failures)
        : campaignExtensions_(campaignExtensionsOf(scope.foundBefore)),
          found_(findProfilePreferences(platform, scope.userHives, scope.userFolders,
                                        {scope.managedMachine, campaignExtensions_}, failures)) {}

    std::vector<Finding> findings() const override {
        std::vector<Finding> findings;
        for (const auto& one : found_) {
            findings.push_back(one.finding);
        }
        return findings;
    }
    void keepOnly(std::span<const FindingId> chosen) override {
        std::erase_if(found_,
                      [&](const ProfileFinding& one) { return !isKept(one.finding, chosen); });
    }
    std::vector<Finding> addRegistryBackup(std::vector<RegistryFileSection>&,
                                           FailureLog&) override {
        return {};
    }
    // Asks the person to close each browser that runs: it would write its
    // profiles back as it closes.
    void getReady(PlatformOps& platform, ProgressView& view) override {
        const auto open = openBrowsers(platform, repairable());
        if (open.empty()) {
            return;
        }
        Notice question{NoticeKind::Information,
                        std::wstring(texts::kWarningTitle),
                        {std::wstring(texts::kCloseBrowsersPrompt)}};
        for (const auto* browser : open) {
            question.lines.push_back(std::wstring(browser->name));
        }
        question.lines.emplace_back(texts::kCloseBrowsersQuestion);
        if (!view.confirm(question)) {
            keptOpen_ = open;
        }
    }
    void repair(PlatformOps& platform, FileBackup& files, const OutcomeReport& report,
                FailureLog& failures) override {
        notPutBack_ = putProfilesBack(platform, repairable(), keptOpen_, files, report, failures);
    }
    void announce(PlatformOps& platform, ProgressView& view, FailureLog& failures) override {
        offerResetPages(platform, view, notPutBack_, failures);
    }

  private:
    std::vector<ProfileFinding> repairable() const {
        std::vector<ProfileFinding> repairable;
        std::ranges::copy_if(found_, std::back_inserter(repairable),
                             [](const ProfileFinding& one) { return one.finding.repairable; });
        return repairable;
    }

    std::vector<std::wstring> campaignExtensions_;
    std::vector<ProfileFinding> found_;
    std::vector<const ProfileBrowser*> keptOpen_;
    std::vector<BrowserProfile> notPutBack_;
};

// The extension keys' findings name the extensions a profile must lose too.
constexpr std::array kPreferencesReads = {FindingKind::RegistryExtension};

constexpr FindingKindRow kPreferencesKind{
    .kind = FindingKind::ProfilePreference,
    .name = L"profilePreference",
    .commandSwitch = L"browsers",
    .texts = {.heading = texts::kPreferencesHeading,
              .notCounted = texts::kPreferencesNotCounted,
              .repairedPrefix = texts::kPreferenceRepairedPrefix,
              .notRepairedPrefix = texts::kPreferenceNotRepairedPrefix,
              .leftPrefix = texts::kPreferenceLeftPrefix,
              .whatIsWrong = texts::kPreferenceWhatIsWrong,
              .whyLeft = texts::kPreferenceWhyLeft,
              .repairedCount = texts::kPreferencesRepairedCount,
              .repairDoes = texts::kPreferenceRepairDoes,
              .whatYouCanDo = texts::kPreferenceWhatYouCanDo},
    .find = lookFor<PreferenceFindings>,
    .ownsFilePath = isProfileFilePath,
    .readsFindingsOf = kPreferencesReads,
};

}  // namespace

const FindingKindRow& preferencesKind() {
    return kPreferencesKind;
}

}  // namespace tovask
