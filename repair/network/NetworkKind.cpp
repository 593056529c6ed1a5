#include "repair/network/NetworkKind.h"

#include <algorithm>
#include <iterator>

#include "repair/network/NetworkRepair.h"
#include "repair/network/NetworkSettings.h"
#include "repair/network/NetworkTexts.h"
#include "repair/report/ProgressView.h"
#include "repair/texts/ProgramTexts.h"

namespace tovask {
namespace {

// A run for every user also reads the settings of the default profile and of
// the system account.
std::vector<std::wstring> networkHives(const FindingScope& scope) {
    std::vector<std::wstring> hives(scope.userHives.begin(), scope.userHives.end());
    if (scope.everyUser) {
        hives.emplace_back(L"HKU\\.DEFAULT");
        hives.emplace_back(L"HKU\\S-1-5-18");
    }
    return hives;
}

class NetworkFindings : public KindFindings {
  public:
    NetworkFindings(PlatformOps& platform, const FindingScope& scope, FailureLog& failures)
        : found_(findNetworkSettings(platform, networkHives(scope), scope.userFolders,
                                     scope.managedMachine, scope.isStartupHijack, failures)) {}

    std::vector<Finding> findings() const override { return findingsOf(found_); }

    void keepOnly(std::span<const FindingId> chosen) override {
        keepChosen(found_, findings(), chosen);
    }

    // One backup for all of them, or none when a name cannot be written to it.
    std::vector<Finding> addRegistryBackup(std::vector<RegistryFileSection>& sections,
                                           FailureLog& failures) override {
        // Only repairable findings carry edits.
        auto added = backupSectionsFor(found_);
        if (const auto name = firstUnwritableName(added)) {
            failures.add(*name, std::make_error_code(std::errc::invalid_argument));
            return repairableOnly(findingsOf(found_));
        }
        std::ranges::move(added, std::back_inserter(sections));
        backedUp_ = true;
        return {};
    }

    void repair(PlatformOps& platform, FileBackup&, const OutcomeReport& report,
                FailureLog& failures) override {
        if (!backedUp_) {
            return;
        }
        for (const auto& found : found_) {
            if (!found.finding.repairable) {
                continue;
            }
            const auto repair = repairNetworkFinding(platform, found, failures);
            internetSettings_ = internetSettings_ ||
                                (repair.changed && found.area == NetworkArea::InternetSettings);
            dns_ = dns_ || (repair.changed && found.area == NetworkArea::Dns);
            report(std::span(&found.finding, 1), repair.repaired);
        }
    }

    // Programs read the Internet settings again, and names resolve by the
    // new servers, now rather than after a restart.
    void announce(PlatformOps& platform, ProgressView& view, FailureLog& failures) override {
        if (internetSettings_) {
            const auto error = platform.AnnounceInternetSettingsChanged();
            // The notice was taken and the registry holds the change: the
            // programs that cannot reread it now do at their next start.
            if (error == std::errc::function_not_supported) {
                view.appendLine(texts::kInternetSettingsNotReread);
            } else if (error) {
                failures.add(texts::kInternetSettingsTarget, error);
            }
        }
        if (dns_) {
            if (const auto error = platform.FlushDnsCache()) {
                failures.add(texts::kDnsCacheTarget, error);
            }
        }
    }

  private:
    std::vector<NetworkFinding> found_;
    bool backedUp_ = false;
    bool internetSettings_ = false;
    bool dns_ = false;
};

constexpr FindingKindRow kNetworkKind{
    .kind = FindingKind::Network,
    .name = L"network",
    .commandSwitch = L"network",
    .texts = {.heading = texts::kNetworkHeading,
              .notCounted = texts::kNetworkNotCounted,
              .managedNote = texts::kManagedNetworkLeft,
              .repairedPrefix = texts::kNetworkRepairedPrefix,
              .notRepairedPrefix = texts::kNetworkNotRepairedPrefix,
              .leftPrefix = texts::kNetworkLeftPrefix,
              .whatIsWrong = texts::kNetworkWhatIsWrong,
              .whyLeft = texts::kNetworkWhyLeft,
              .repairedCount = texts::kNetworkResetCount,
              .repairDoes = texts::kNetworkRepairDoes,
              .whatYouCanDo = texts::kNetworkWhatYouCanDo},
    .find = lookFor<NetworkFindings>,
    .withinRegistryReach = withinNetworkReach,
};

}  // namespace

const FindingKindRow& networkKind() {
    return kNetworkKind;
}

}  // namespace tovask
