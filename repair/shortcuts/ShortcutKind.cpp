#include "repair/shortcuts/ShortcutKind.h"

#include "repair/shortcuts/HijackedShortcuts.h"
#include "repair/shortcuts/ShortcutTexts.h"

namespace tovask {
namespace {

class ShortcutFindings : public KindFindings {
  public:
    ShortcutFindings(PlatformOps& platform, const FindingScope& scope, FailureLog& failures)
        : managed_(scope.managedMachine),
          shortcuts_(
              findHijackedShortcuts(platform, scope.userHives, scope.userFolders, failures)) {}

    std::vector<Finding> findings() const override { return findingsOf(shortcuts_, managed_); }

    void keepOnly(std::span<const FindingId> chosen) override {
        keepChosen(shortcuts_, findings(), chosen);
    }

    // A shortcut's bytes go to the file backups, each just before it changes.
    std::vector<Finding> addRegistryBackup(std::vector<RegistryFileSection>&,
                                           FailureLog&) override {
        return {};
    }

    void repair(PlatformOps& platform, FileBackup& files, const OutcomeReport& report,
                FailureLog& failures) override {
        for (const auto& shortcut : shortcuts_) {
            const auto finding = findingsOf(std::span(&shortcut, 1), managed_);
            if (finding.front().repairable) {
                report(finding, repairShortcut(platform, shortcut, files, failures));
            }
        }
    }

    void announce(PlatformOps&, ProgressView&, FailureLog&) override {}

  private:
    bool managed_;
    std::vector<HijackedShortcut> shortcuts_;
};

constexpr FindingKindRow kShortcutKind{
    .kind = FindingKind::Shortcut,
    .name = L"shortcut",
    .commandSwitch = L"shortcuts",
    .texts = {.heading = texts::kShortcutsHeading,
              .notCounted = texts::kShortcutsNotCounted,
              .repairedPrefix = texts::kShortcutRepairedPrefix,
              .notRepairedPrefix = texts::kShortcutNotRepairedPrefix,
              .leftPrefix = texts::kShortcutLeftPrefix,
              .whatIsWrong = texts::kShortcutWhatIsWrong,
              .whyLeft = texts::kShortcutWhyLeft,
              .repairedCount = texts::kShortcutsRepairedCount,
              .repairDoes = texts::kShortcutRepairDoes,
              .whatYouCanDo = texts::kShortcutWhatYouCanDo},
    .find = lookFor<ShortcutFindings>,
    .ownsFilePath = isShortcutPath,
};

}  // namespace

const FindingKindRow& shortcutKind() {
    return kShortcutKind;
}

}  // namespace tovask
