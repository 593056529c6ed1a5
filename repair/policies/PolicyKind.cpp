#include "repair/policies/PolicyKind.h"

#include <algorithm>
#include <iterator>

#include "repair/policies/FirefoxFiles.h"
#include "repair/policies/PolicyLocks.h"
#include "repair/report/FindingTexts.h"
#include "repair/report/ProgressView.h"

namespace tovask {
namespace {

class PolicyFindings : public KindFindings {
  public:
    PolicyFindings(PlatformOps& platform, const FindingScope& scope, FailureLog& failures)
        : repairable_(!scope.managedMachine),
          keys_(findLockedPolicyKeys(platform, scope.userHives, failures)) {
        const auto firefoxFolders = firefoxInstallFolders(platform, failures);
        files_ = findLockedPolicyFiles(platform, firefoxFolders, failures);
        installFiles_ = findInstallFiles(platform, firefoxFolders, repairable_, failures);
    }

    std::vector<Finding> findings() const override {
        auto findings = findingsOf(keys_, repairable_);
        std::ranges::move(findingsOf(files_, repairable_), std::back_inserter(findings));
        std::ranges::move(findingsOf(installFiles_), std::back_inserter(findings));
        return findings;
    }

    // A key or file none of whose locks is chosen is left untouched, and so
    // is an installation's file whose finding is not.
    void keepOnly(std::span<const FindingId> chosen) override {
        for (auto& key : keys_) {
            keepChosen(key.locks, findingsOf(std::span(&key, 1), repairable_), chosen);
        }
        std::erase_if(keys_, [](const LockedPolicyKey& key) { return key.locks.empty(); });
        for (auto& file : files_) {
            keepChosen(file.locks, findingsOf(std::span(&file, 1), repairable_), chosen);
        }
        std::erase_if(files_, [](const LockedPolicyFile& file) { return file.locks.empty(); });
        keepChosen(installFiles_, findingsOf(installFiles_), chosen);
    }

    // A key whose names no backup can hold is left.
    std::vector<Finding> addRegistryBackup(std::vector<RegistryFileSection>& sections,
                                           FailureLog& failures) override {
        std::vector<Finding> unsaved;
        for (const auto& key : keys_) {
            auto keySections = backupSectionsFor(key, failures);
            if (keySections.empty()) {
                std::ranges::move(repairableOnly(findingsOf(std::span(&key, 1), true)),
                                  std::back_inserter(unsaved));
            } else {
                backedUp_.push_back(&key);
                std::ranges::move(keySections, std::back_inserter(sections));
            }
        }
        return unsaved;
    }

    void repair(PlatformOps& platform, FileBackup& files, const OutcomeReport& report,
                FailureLog& failures) override {
        for (const auto* key : backedUp_) {
            const bool repaired = removeLocks(platform, *key, failures);
            report(repairableOnly(findingsOf(std::span(key, 1), true)), repaired);
        }
        for (const auto& file : files_) {
            const bool repaired = removeFileLocks(platform, file, files, failures);
            report(repairableOnly(findingsOf(std::span(&file, 1), true)), repaired);
        }
        for (const auto& file : installFiles_) {
            const bool removed = removeInstallFile(platform, file, files, failures);
            report(std::span(&file.finding, 1), removed);
        }
    }

    // Windows applies the policies again and the browsers read them anew. A
    // system that cannot be asked is told apart from a refresh that failed.
    void announce(PlatformOps& platform, ProgressView& view, FailureLog& failures) override {
        const auto error = platform.RefreshPolicy();
        if (error == std::errc::function_not_supported) {
            view.appendLine(texts::kPolicyRefreshUnavailable);
        } else if (error) {
            failures.add(texts::kPolicyRefreshTarget, error);
        }
        view.appendLine(texts::kRestartBrowsers);
    }

  private:
    bool repairable_;
    std::vector<LockedPolicyKey> keys_;
    std::vector<LockedPolicyFile> files_;
    std::vector<InstallFile> installFiles_;
    std::vector<const LockedPolicyKey*> backedUp_;
};

constexpr FindingKindRow kPolicyKind{
    .kind = FindingKind::BrowserPolicy,
    .name = L"browserPolicy",
    .commandSwitch = L"browsers",
    .texts = {.heading = texts::kFindingsHeading,
              .notCounted = texts::kFindingsNotCounted,
              .repairedPrefix = texts::kFindingRepairedPrefix,
              .notRepairedPrefix = texts::kFindingNotRepairedPrefix,
              .leftPrefix = texts::kFindingLeftPrefix,
              .whatIsWrong = texts::kPolicyWhatIsWrong,
              .whyLeft = texts::kPolicyWhyLeft,
              .repairedCount = texts::kLocksRemovedCount,
              .repairDoes = texts::kPolicyRepairDoes,
              .whatYouCanDo = texts::kPolicyWhatYouCanDo},
    .find = lookFor<PolicyFindings>,
    .withinRegistryReach = withinPolicyReach,
    .ownsFilePath = isPolicyFilePath,
};

}  // namespace

const FindingKindRow& policyKind() {
    return kPolicyKind;
}

}  // namespace tovask
