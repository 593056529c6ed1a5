#include <optional>

#include "repair/allow/AllowListSources.h"
#include "repair/backup/HiveNames.h"
#include "repair/findings/FindingsRun.h"
#include "repair/findings/ManagedMachine.h"
#include "repair/run/BrowserRepair.h"
#include "repair/run/CheckVerdict.h"
#include "repair/texts/ProgramTexts.h"
#include "repair/users/FactsOfThisRun.h"
#include "repair/users/RepairLock.h"
#include "text/DecimalText.h"
#include "text/RegistryEncoding.h"

namespace tovask {
namespace {

// What the check lists, each group under its own heading.
struct CheckListing {
    std::vector<std::wstring> toRepair;
    std::vector<std::wstring> willBeWritten;
    std::vector<std::wstring> replacedPages;
    // The HOSTS entries that count, and how many there are: a file lists
    // only its first ones.
    std::vector<std::wstring> hostsToRepair;
    std::size_t hostsCounted = 0;
    std::vector<std::wstring> hostsInformation;
    // The organisation's, on a managed machine.
    std::vector<std::wstring> leftPolicies;
    std::vector<std::wstring> leftHosts;
};

void appendUnder(ProgressView& view, std::wstring_view heading,
                 const std::vector<std::wstring>& entries) {
    if (entries.empty()) {
        return;
    }
    view.appendLine(heading);
    for (const auto& entry : entries) {
        view.appendLine(L"  " + entry);
    }
}

void appendEach(ProgressView& view, std::wstring_view prefix,
                const std::vector<std::wstring>& entries) {
    for (const auto& entry : entries) {
        view.appendLine(std::wstring(prefix) + entry);
    }
}

// On a managed machine the organisation's entries are named by their file,
// and left.
void listHostsFiles(const std::vector<HostsFileVerdict>& verdicts, bool managed,
                    CheckListing& listing) {
    for (const auto& [hosts, entries] : verdicts) {
        if (entries.counting == 0) {
            listing.hostsInformation.push_back(std::wstring(texts::kHostsNotRedirectingPrefix) +
                                               hosts);
        } else if (managed) {
            listing.leftHosts.push_back(hosts);
        } else {
            const auto lines = hostsEntryLines(texts::kNeedsRepairPrefix, hosts, entries);
            listing.hostsToRepair.insert(listing.hostsToRepair.end(), lines.begin(), lines.end());
            listing.hostsCounted += entries.counting;
        }
        if (entries.usersOwn > 0) {
            listing.hostsInformation.push_back(std::wstring(texts::kHostsOwnEntriesPrefix) + hosts +
                                               L": " + decimalText(entries.usersOwn));
        }
        if (entries.allowed > 0) {
            listing.hostsInformation.push_back(std::wstring(texts::kHostsAllowedEntriesPrefix) +
                                               hosts + L": " + decimalText(entries.allowed));
        }
    }
}

}  // namespace

RunOutcome BrowserRepair::checkWhatNeedsRepair(const RunRequest& request) {
    request_ = request;
    // Users' hives are loaded only under the lock, so that no repair or undo
    // loads or unloads them meanwhile.
    std::optional<RepairLock> lock;
    if (request_.everyUser) {
        lock.emplace(platform_);
        if (lock->error()) {
            return shownAfterTheLock(reportLockFailure(lock->error()));
        }
    }
    FailureLog failures(platform_);
    // What the machine is, asked once for the findings: the next check asks again.
    FactsOfThisRun facts(platform_);
    CheckListing listing;
    std::optional<RunFindings> findings;
    std::optional<UserHives> everyone;
    auto managed = decideManagedMachine(platform_, failures);
    auto allowList = loadAllowList(platform_, request_.allowFile, request_.everyUser, failures);
    const bool isManaged = managed.known;
    const auto givenPage = request_.startPage.empty()
                               ? std::nullopt
                               : std::optional<std::wstring_view>(request_.startPage);
    // Compared with what the repair with the same start page leaves.
    if (const auto start = readRegistryFor(chosenStartPage(), isManaged, everyone, failures)) {
        for (const auto& difference : start->captured.differences) {
            switch (judgeDifference(difference, givenPage)) {
                case EntryVerdict::Counts:
                    listing.toRepair.push_back(difference.entry);
                    break;
                case EntryVerdict::WillBeWritten:
                    listing.willBeWritten.push_back(difference.entry);
                    break;
                case EntryVerdict::Information:
                    listing.replacedPages.push_back(
                        difference.entry + L" = " +
                        textOf(*difference.found).value_or(std::wstring()));
                    break;
                case EntryVerdict::Same:
                    break;
            }
        }
        listing.leftPolicies = start->leftPolicies;
        if (everyone) {
            for (auto* entries : {&listing.toRepair, &listing.willBeWritten, &listing.replacedPages,
                                  &listing.leftPolicies}) {
                nameHivesBySid(*entries, everyone->hives());
            }
        }
        listHostsFiles(judgeHostsFiles(allowList, failures), isManaged, listing);
        findings = lookForFindings(facts, managed, start->userHives, request_.everyUser, failures,
                                   std::move(allowList));
    }
    view_.clearList();
    appendEach(view_, texts::kNeedsRepairPrefix, listing.toRepair);
    appendEach(view_, {}, listing.hostsToRepair);
    if (!listing.leftPolicies.empty() || !listing.leftHosts.empty()) {
        view_.appendLine(*managed.managedBecause);
        appendEach(view_, texts::kPolicyRowLeftPrefix, listing.leftPolicies);
        appendEach(view_, texts::kHostsLeftPrefix, listing.leftHosts);
    }
    appendUnder(view_, texts::kWillBeWrittenHeading, listing.willBeWritten);
    appendUnder(view_, texts::kReplacedPagesHeading, listing.replacedPages);
    appendEach(view_, {}, listing.hostsInformation);
    appendErrorLines(failures);
    const auto findingsCounted =
        findings ? reportFindingsToCheck(view_, *findings, {request_.offeredKinds, consent_}) : 0;
    const auto counted = listing.toRepair.size() + listing.hostsCounted + findingsCounted;
    view_.appendLine(counted == 0
                         ? std::wstring(texts::kNothingToRepair)
                         : std::wstring(texts::kEntriesToRepairPrefix) + decimalText(counted));
    if (!failures.entries().empty()) {
        return RunOutcome::DoneWithFailures;
    }
    return counted == 0 ? RunOutcome::Done : RunOutcome::RepairNeeded;
}

// The HOSTS files that exist and differ from the default content, with
// their entries.
std::vector<HostsFileVerdict> BrowserRepair::judgeHostsFiles(const AllowList& allowList,
                                                             FailureLog& failures) {
    std::vector<HostsFileVerdict> verdicts;
    const auto allowed = allowList.hostNameRule();
    for (const auto pair : hostsPairs(paths_.value())) {
        const auto content = probeHostsFile(platform_, pair.hosts);
        if (!content.ok()) {
            if (!isNotFound(content.error())) {
                failures.add(pair.hosts, content.error());
            }
            continue;
        }
        if (content.value() != HostsContent::Other) {
            continue;
        }
        const auto text = platform_.ReadFileContent(pair.hosts, kLargestHostsFile);
        if (!text.ok()) {
            failures.add(pair.hosts, text.error());
        } else {
            verdicts.push_back(
                {std::wstring(pair.hosts), listedHostsEntries(text.value(), allowed)});
        }
    }
    return verdicts;
}

}  // namespace tovask
