#include "repair/grouppolicy/LocalPolicyKind.h"

#include <algorithm>
#include <iterator>

#include "repair/grouppolicy/LocalPolicyFiles.h"
#include "repair/grouppolicy/LocalPolicyTexts.h"
#include "repair/report/FindingTexts.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

class LocalPolicyFindings : public KindFindings {
  public:
    LocalPolicyFindings(PlatformOps& platform, const FindingScope& scope, FailureLog& failures)
        : repairable_(!scope.managedMachine), files_(findLocalPolicyFiles(platform, failures)) {}

    std::vector<Finding> findings() const override {
        std::vector<Finding> findings;
        for (const auto& file : files_.withLocks) {
            std::ranges::move(findingsOf(file, repairable_), std::back_inserter(findings));
        }
        std::ranges::transform(files_.unread, std::back_inserter(findings), findingOf);
        return findings;
    }

    // A file none of whose locks is chosen is not rewritten.
    void keepOnly(std::span<const FindingId> chosen) override {
        auto& files = files_.withLocks;
        for (auto& file : files) {
            keepChosen(file.locks, findingsOf(file, repairable_), chosen);
        }
        std::erase_if(files, [](const LocalPolicyFile& file) { return file.locks.empty(); });
    }

    // Each file goes to the file backups just before it changes.
    std::vector<Finding> addRegistryBackup(std::vector<RegistryFileSection>&,
                                           FailureLog&) override {
        return {};
    }

    void repair(PlatformOps& platform, FileBackup& files, const OutcomeReport& report,
                FailureLog& failures) override {
        // Raised once per policy object, by the steps of its files that changed.
        std::vector<std::pair<std::wstring, std::uint32_t>> versions;
        for (const auto& file : files_.withLocks) {
            const auto repairable = repairableOnly(findingsOf(file, repairable_));
            if (repairable.empty()) {
                continue;
            }
            const bool removed = removeLocalPolicyLocks(platform, file, files, failures);
            report(repairable, removed);
            if (!removed) {
                continue;
            }
            const auto same = std::ranges::find_if(versions, [&](const auto& version) {
                return equalsIgnoringCase(version.first, file.gptIni);
            });
            if (same == versions.end()) {
                versions.emplace_back(file.gptIni, file.versionStep);
            } else if (same->second != file.versionStep) {
                same->second += file.versionStep;
            }
        }
        for (const auto& [gptIni, step] : versions) {
            raisePolicyVersion(platform, gptIni, step, files, failures);
        }
    }

    // The policy locks' row asks Windows to apply policy again.
    void announce(PlatformOps&, ProgressView&, FailureLog&) override {}

  private:
    bool repairable_;
    LocalPolicyFiles files_;
};

constexpr FindingKindRow kLocalPolicyKind{
    .kind = FindingKind::LocalPolicyFile,
    .name = L"localPolicyFile",
    .commandSwitch = L"browsers",
    .texts = {.heading = texts::kLocalPolicyHeading,
              .notCounted = texts::kFindingsNotCounted,
              .repairedPrefix = texts::kLocalPolicyRemovedPrefix,
              .notRepairedPrefix = texts::kLocalPolicyNotRemovedPrefix,
              .leftPrefix = texts::kLocalPolicyLeftPrefix,
              .whatIsWrong = texts::kLocalPolicyWhatIsWrong,
              .whyLeft = texts::kLocalPolicyWhyLeft,
              .repairedCount = texts::kLocksRemovedCount,
              .repairDoes = texts::kLocalPolicyRepairDoes,
              .whatYouCanDo = texts::kLocalPolicyWhatYouCanDo},
    .find = lookFor<LocalPolicyFindings>,
    .ownsFilePath = isLocalPolicyFilePath,
};

}  // namespace

const FindingKindRow& localPolicyKind() {
    return kLocalPolicyKind;
}

}  // namespace tovask
