#include <optional>

#include "repair/allow/AllowListSources.h"
#include "repair/backup/HiveNames.h"
#include "repair/findings/FindingsRun.h"
#include "repair/findings/ManagedMachine.h"
#include "repair/hosts/HostsEntries.h"
#include "repair/run/BrowserRepair.h"
#include "repair/run/CheckVerdict.h"
#include "repair/texts/ProgramTexts.h"
#include "repair/users/FactsOfThisRun.h"
#include "repair/users/RepairLock.h"
#include "text/DecimalText.h"
#include "text/RegistryEncoding.h"

namespace tovask {
namespace {

// Blocklists of a few megabytes are common; more is not a HOSTS file.
constexpr std::size_t kLargestHostsFile = 64 * 1024 * 1024;

// What the check lists, each group under its own heading.
struct CheckListing {
    std::vector<std::wstring> toRepair;
    std::vector<std::wstring> willBeWritten;
    std::vector<std::wstring> replacedPages;
    std::vector<std::wstring> hostsNotRedirecting;
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
        const auto hosts = judgeHostsFiles(failures);
        auto& redirecting = isManaged ? listing.leftHosts : listing.toRepair;
        redirecting.insert(redirecting.end(), hosts.redirecting.begin(), hosts.redirecting.end());
        listing.hostsNotRedirecting = hosts.notRedirecting;
        findings = lookForFindings(facts, managed, start->userHives, request_.everyUser, failures,
                                   std::move(allowList));
    }
    view_.clearList();
    appendEach(view_, texts::kNeedsRepairPrefix, listing.toRepair);
    if (!listing.leftPolicies.empty() || !listing.leftHosts.empty()) {
        view_.appendLine(*managed.managedBecause);
        appendEach(view_, texts::kPolicyRowLeftPrefix, listing.leftPolicies);
        appendEach(view_, texts::kHostsLeftPrefix, listing.leftHosts);
    }
    appendUnder(view_, texts::kWillBeWrittenHeading, listing.willBeWritten);
    appendUnder(view_, texts::kReplacedPagesHeading, listing.replacedPages);
    appendEach(view_, texts::kHostsNotRedirectingPrefix, listing.hostsNotRedirecting);
    appendErrorLines(failures);
    const auto findingsCounted =
        findings ? reportFindingsToCheck(view_, *findings, {request_.offeredKinds, consent_}) : 0;
    const auto counted = listing.toRepair.size() + findingsCounted;
    view_.appendLine(counted == 0
                         ? std::wstring(texts::kNothingToRepair)
                         : std::wstring(texts::kEntriesToRepairPrefix) + decimalText(counted));
    if (!failures.entries().empty()) {
        return RunOutcome::DoneWithFailures;
    }
    return counted == 0 ? RunOutcome::Done : RunOutcome::RepairNeeded;
}

// The HOSTS files that exist and differ from the default content, split by
// whether they send a name elsewhere.
BrowserRepair::HostsVerdicts BrowserRepair::judgeHostsFiles(FailureLog& failures) {
    HostsVerdicts verdicts;
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
        } else if (redirectsNames(text.value())) {
            verdicts.redirecting.emplace_back(pair.hosts);
        } else {
            verdicts.notRedirecting.emplace_back(pair.hosts);
        }
    }
    return verdicts;
}

}  // namespace tovask
