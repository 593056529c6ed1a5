#include "repair/startup/StartupKind.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "repair/backup/RemovableValues.h"
#include "repair/backup/RemovedKeyFindings.h"
#include "repair/report/FindingTexts.h"
#include "repair/startup/ActiveSetupEntries.h"
#include "repair/startup/ScheduledTaskEntries.h"
#include "repair/startup/ServiceImages.h"
#include "repair/startup/StartupEntries.h"
#include "repair/startup/StartupFolderEntries.h"
#include "repair/startup/StartupTexts.h"
#include "repair/startup/WinlogonEntries.h"
#include "repair/users/UserPaths.h"

namespace tovask {
namespace {

template <typename Item>
std::vector<Finding> findingsOf(const std::vector<Item>& items) {
    std::vector<Finding> findings;
    std::ranges::transform(items, std::back_inserter(findings), &Item::finding);
    return findings;
}

// The Run keys' values, then Winlogon's.
std::vector<RemovableValue> startupValues(PlatformOps& platform, const FindingScope& scope,
                                          const ServedHijacks& served, FailureLog& failures) {
    auto values =
        findStartupEntries(platform, scope.userHives, scope.managedMachine, failures, served);
    std::ranges::move(
        findWinlogonEntries(platform, scope.userHives, scope.managedMachine, failures),
        std::back_inserter(values));
    return values;
}

const ServedHijacks& learned(ServedHijacks& served, std::span<const Finding> found) {
    served.learnFrom(found);
    return served;
}

// The places a program starts from by itself: the Run keys and Winlogon,
// Active Setup, scheduled tasks, the Startup folders and, reported only, the
// services.
class StartupFindings : public KindFindings {
  public:
    // Each place is judged also by what the places before it established.
    StartupFindings(PlatformOps& platform, const FindingScope& scope, FailureLog& failures)
        : served_(scope.foundBefore, SystemFolders::of(platform, failures)),
          values_(startupValues(platform, scope, served_, failures)),
          activeSetup_(findActiveSetupHijacks(platform, scope.managedMachine,
                                              learned(served_, values_.findings()), failures),
                       {}) {
        served_.learnFrom(activeSetup_.findings());
        tasks_ = findHijackingTasks(platform, scope.managedMachine, served_, failures);
        served_.learnFrom(findingsOf(tasks_));
        files_ = findStartupFiles(platform, scope.userHives, scope.userFolders,
                                  scope.managedMachine, served_, failures);
        services_ = findImpostorServices(platform, served_.programFolders(), failures);
    }

    std::vector<Finding> findings() const override {
        auto findings = values_.findings();
        std::ranges::move(activeSetup_.findings(), std::back_inserter(findings));
        std::ranges::move(findingsOf(tasks_), std::back_inserter(findings));
        std::ranges::move(findingsOf(files_), std::back_inserter(findings));
        findings.insert(findings.end(), services_.begin(), services_.end());
        return findings;
    }

    void keepOnly(std::span<const FindingId> chosen) override {
        values_.keepOnly(chosen);
        activeSetup_.keepOnly(chosen);
        keepChosen(tasks_, findingsOf(tasks_), chosen);
        keepChosen(files_, findingsOf(files_), chosen);
    }

    // Task and Startup files go to the file backups just before they change.
    std::vector<Finding> addRegistryBackup(std::vector<RegistryFileSection>& sections,
                                           FailureLog& failures) override {
        auto unsaved = values_.addRegistryBackup(sections, failures);
        std::ranges::move(activeSetup_.addRegistryBackup(sections, failures),
                          std::back_inserter(unsaved));
        return unsaved;
    }

    void repair(PlatformOps& platform, FileBackup& files, const OutcomeReport& report,
                FailureLog& failures) override {
        values_.repair(platform, files, report, failures);
        activeSetup_.repair(platform, files, report, failures);
        for (const auto& task : tasks_) {
            if (task.finding.repairable) {
                report(std::span(&task.finding, 1),
                       disableHijackingTask(platform, task, files, failures));
            }
        }
        for (const auto& file : files_) {
            if (file.finding.repairable) {
                report(std::span(&file.finding, 1), files.remove(file.path, failures));
            }
        }
    }

    // The programs start, or not, at the next logon or trigger.
    void announce(PlatformOps&, ProgressView&, FailureLog&) override {}

  private:
    ServedHijacks served_;
    RemovableValueFindings values_;
    // Its notice is never said: the programs start, or not, at the next logon.
    RemovedKeyFindings<ActiveSetupComponent> activeSetup_;
    std::vector<HijackingTask> tasks_;
    std::vector<StartupFile> files_;
    std::vector<Finding> services_;  // report-only: kept whatever is chosen
};

bool isStartupFilePath(std::wstring_view path) {
    return isScheduledTaskFilePath(path) || isStartupFolderFilePath(path);
}

// A program the network kind found serving a hijacked proxy, or in a folder
// a hijacked shortcut loads extensions from, is a start-up program's hijack.
constexpr std::array kStartupReads = {FindingKind::Network, FindingKind::Shortcut};

constexpr FindingKindRow kStartupKind{
    .kind = FindingKind::Startup,
    .name = L"startup",
    .commandSwitch = L"startup",
    .texts = {.heading = texts::kStartupHeading,
              .notCounted = texts::kStartupNotCounted,
              .repairedPrefix = texts::kStartupRemovedPrefix,
              .notRepairedPrefix = texts::kStartupNotRemovedPrefix,
              .leftPrefix = texts::kStartupLeftPrefix,
              .whatIsWrong = texts::kStartupWhatIsWrong,
              .whyLeft = texts::kStartupWhyLeft,
              .repairedCount = texts::kStartupRemovedCount,
              .repairDoes = texts::kStartupRepairDoes,
              .whatYouCanDo = texts::kStartupWhatYouCanDo},
    .find = lookFor<StartupFindings>,
    .withinRegistryReach = withinStartupReach,
    .ownsFilePath = isStartupFilePath,
    .readsFindingsOf = kStartupReads,
};

}  // namespace

const FindingKindRow& startupKind() {
    return kStartupKind;
}

}  // namespace tovask
