#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "repair/report/Finding.h"

namespace tovask {

class FailureLog;
class FileBackup;
class PlatformOps;
class ProgressView;
struct RegistryFileSection;
class UserFoldersOfThisRun;

// What the report says of a kind's findings, each text named where a row
// gives it (".heading = ..."); a kind that repairs nothing gives only the
// heading and what the findings dialog says.
struct KindTexts {
    std::wstring_view heading;
    // Said when the check does not count its repairable findings.
    std::wstring_view notCounted = {};
    // Said on a managed machine after the reason it is managed; may be empty.
    std::wstring_view managedNote = {};
    std::wstring_view repairedPrefix = {};
    std::wstring_view notRepairedPrefix = {};
    std::wstring_view leftPrefix = {};
    // What the findings dialog says is wrong, and why it leaves a report-only one.
    std::wstring_view whatIsWrong;
    std::wstring_view whyLeft;
    // What the closing summary counts its repairs as.
    std::wstring_view repairedCount = {};
    // What a repair of one of its findings does, and what the person can do
    // about one it only reports, as the findings dialog's details say them.
    std::wstring_view repairDoes = {};
    std::wstring_view whatYouCanDo = {};
};

// Tells what became of findings: repaired, or not.
using OutcomeReport = std::function<void(std::span<const Finding> findings, bool repaired)>;

// What one kind found in a run, and how it backs up, repairs and announces it.
class KindFindings {
  public:
    virtual ~KindFindings() = default;

    // Report-only ones included.
    virtual std::vector<Finding> findings() const = 0;
    // Forgets the repairable findings not chosen, before the backup, so that
    // neither the backup nor the repair touches them; report-only ones stay.
    virtual void keepOnly(std::span<const FindingId> chosen) = 0;
    // Adds to the run's registry backup what puts back each repairable
    // finding it can back up; gives the findings it cannot, which stay.
    virtual std::vector<Finding> addRegistryBackup(std::vector<RegistryFileSection>& sections,
                                                   FailureLog& failures) = 0;
    // Asks the person, once the findings are chosen and before anything is
    // backed up, for what its repair needs of them.
    virtual void getReady(PlatformOps& /*platform*/, ProgressView& /*view*/) {}
    // Repairs what it backed up, copying each file it changes into `files`
    // first, and tells each finding's outcome.
    virtual void repair(PlatformOps& platform, FileBackup& files, const OutcomeReport& report,
                        FailureLog& failures) = 0;
    // Tells the system what the repair changed, once it is made.
    virtual void announce(PlatformOps& platform, ProgressView& view, FailureLog& failures) = 0;
};

// Keeps the items whose findings stay, given each item's finding in order.
// Findings that do not pair one to one with the items keep none of them:
// nothing is repaired that the user may not have chosen.
template <typename Item>
void keepChosen(std::vector<Item>& items, std::span<const Finding> itemFindings,
                std::span<const FindingId> chosen) {
    std::vector<Item> kept;
    for (std::size_t i = 0; i < items.size() && items.size() == itemFindings.size(); ++i) {
        if (isKept(itemFindings[i], chosen)) {
            kept.push_back(std::move(items[i]));
        }
    }
    items = std::move(kept);
}

// Where a run looks: the users' hives ("HKCU" or "HKU\<name>") and their
// folders, told once for every kind, whether it runs for every user, whether
// an organisation manages the machine, and what the kinds whose findings this
// one reads (its row's readsFindingsOf) found, before it. Good while the
// kinds look, not beyond.
// Whether a start-up command is a hijack the start-up programs' kind would
// repair: that kind's rule, handed to the others by whoever runs the kinds.
using StartupHijackRule = bool (*)(std::wstring_view command);

struct FindingScope {
    std::span<const std::wstring> userHives;
    UserFoldersOfThisRun& userFolders;
    bool everyUser = false;
    bool managedMachine = false;
    std::span<const Finding> foundBefore;
    StartupHijackRule isStartupHijack = nullptr;
};

// One kind of finding beyond Internet Explorer, described whole: the check,
// the consent, the backups, the repair, the undo and the command line read
// it from here.
struct FindingKindRow {
    FindingKind kind;
    // What the run's JSON calls the kind: "browserPolicy".
    std::wstring_view name;
    std::wstring_view commandSwitch;  // "browsers" for /browsers
    KindTexts texts;
    std::unique_ptr<KindFindings> (*find)(PlatformOps& platform, const FindingScope& scope,
                                          FailureLog& failures);
    // Whether a registry-backup section lies within what its repairs change.
    bool (*withinRegistryReach)(const RegistryFileSection& section, bool hasTwoViews) = nullptr;
    // Whether its file backups may name the file.
    bool (*ownsFilePath)(std::wstring_view path) = nullptr;
    // The kinds whose findings it is given as it looks (FindingScope's
    // foundBefore), each a kind before it in findingKinds(); none by default.
    std::span<const FindingKind> readsFindingsOf = {};
};

// The `find` of a row whose findings look for themselves as they are made.
template <typename Found>
std::unique_ptr<KindFindings> lookFor(PlatformOps& platform, const FindingScope& scope,
                                      FailureLog& failures) {
    return std::make_unique<Found>(platform, scope, failures);
}

}  // namespace tovask
