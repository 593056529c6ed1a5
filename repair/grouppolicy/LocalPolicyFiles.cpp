#include "repair/grouppolicy/LocalPolicyFiles.h"

#include <algorithm>
#include <variant>

#include "repair/grouppolicy/LocalPolicyTexts.h"
#include "repair/users/UserPaths.h"
#include "text/DecimalText.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

constexpr std::uint32_t kMachineVersionStep = 1;
constexpr std::uint32_t kUserVersionStep = 0x10000;
constexpr std::size_t kMaxGptIniBytes = 64 * 1024;
constexpr std::wstring_view kPolicyFileName = L"Registry.pol";
constexpr std::wstring_view kGptIniName = L"gpt.ini";
// GroupPolicyUsers holds a folder per user or group, each with its User folder.
constexpr ListingLimits kUserPolicyLimits{2, 500, 5000};

// The folders between the system folder and the file, as Windows lays them out.
std::vector<std::wstring_view> lastNames(std::wstring_view path, std::size_t count) {
    std::vector<std::wstring_view> names;
    while (names.size() < count) {
        const auto slash = path.rfind(L'\\');
        if (slash == std::wstring_view::npos) {
            return {};
        }
        names.insert(names.begin(), path.substr(slash + 1));
        path = path.substr(0, slash);
    }
    return names;
}

bool namesAre(std::span<const std::wstring_view> names,
              std::initializer_list<std::wstring_view> expected) {
    return std::ranges::equal(names, expected, [](std::wstring_view name, std::wstring_view want) {
        return want.empty() ? !name.empty() : equalsIgnoringCase(name, want);
    });
}

bool isUserPolicyFile(std::wstring_view path) {
    return namesAre(lastNames(path, 4), {L"GroupPolicyUsers", L"", L"User", kPolicyFileName});
}

std::wstring parentOf(std::wstring_view path) {
    return std::wstring(path.substr(0, path.rfind(L'\\')));
}

// The editor raises the version by 1 for the machine's file, by 65536 for the users'.
std::uint32_t versionStepOf(PolicyHives hives) {
    return hives == PolicyHives::Machine ? kMachineVersionStep : kUserVersionStep;
}

void lookAtPolicyFile(PlatformOps& platform, std::wstring path, std::wstring gptIni,
                      PolicyHives hives, LocalPolicyFiles& found, FailureLog& failures) {
    auto bytes = platform.ReadFileContent(path, kMaxBackedUpFileBytes);
    if (!bytes.ok()) {
        if (!isNotFound(bytes.error())) {
            failures.add(path, bytes.error());
            found.unread.push_back({std::move(path), hives});
        }
        return;
    }
    auto read = readPolicyFile(bytes.value());
    if (const auto* problem = std::get_if<PolicyFileProblem>(&read)) {
        failures.add(path, std::wstring(texts::kLocalPolicyFileUnreadablePrefix) +
                               decimalText(problem->offset) +
                               std::wstring(texts::kLocalPolicyFileLeftSuffix));
        found.unread.push_back({std::move(path), hives});
        return;
    }
    auto entries = std::get<std::vector<PolicyFileEntry>>(std::move(read));
    auto locks = findPolicyFileLocks(entries);
    if (!locks.empty()) {
        found.withLocks.push_back({std::move(path), std::move(gptIni), versionStepOf(hives),
                                   std::move(bytes.value()), std::move(entries), std::move(locks)});
    }
}

}  // namespace

LocalPolicyFiles findLocalPolicyFiles(PlatformOps& platform, FailureLog& failures) {
    LocalPolicyFiles found;
    const auto system = nativeSystemFolder(platform);
    if (!system.ok()) {
        failures.add(L"GroupPolicy", system.error());
        found.unread = {{L"GroupPolicy", PolicyHives::Machine},
                        {L"GroupPolicy", PolicyHives::Users}};
        return found;
    }
    const auto policy = system.value() + L"\\GroupPolicy\\";
    const auto gptIni = policy + std::wstring(kGptIniName);
    lookAtPolicyFile(platform, policy + L"Machine\\" + std::wstring(kPolicyFileName), gptIni,
                     PolicyHives::Machine, found, failures);
    lookAtPolicyFile(platform, policy + L"User\\" + std::wstring(kPolicyFileName), gptIni,
                     PolicyHives::Users, found, failures);
    const auto usersFolder = system.value() + L"\\GroupPolicyUsers";
    const auto listing = platform.ListFiles(usersFolder, L".pol", kUserPolicyLimits);
    if (!listing.ok()) {
        if (!isNotFound(listing.error())) {
            failures.add(usersFolder, listing.error());
            found.unread.push_back({usersFolder, PolicyHives::Users});
        }
        return found;
    }
    for (const auto& path : listing.value().files) {
        if (isUserPolicyFile(path)) {
            lookAtPolicyFile(platform, path,
                             parentOf(parentOf(path)) + L"\\" + std::wstring(kGptIniName),
                             PolicyHives::Users, found, failures);
        }
    }
    return found;
}

std::vector<Finding> findingsOf(const LocalPolicyFile& file, bool repairable) {
    std::vector<Finding> findings;
    for (const auto& [browser, lock] : file.locks) {
        FindingEvidence evidence;
        evidence.policyValue = std::wstring(browser->keyPath) + L"\\" + placeOf(lock);
        evidence.policyData = lock.holds;
        evidence.sets = settingOf(lock);
        evidence.policyRoot = file.path + L"\\" + std::wstring(browser->keyPath);
        evidence.switchesNeighbours = switchesItsNeighbours(lock);
        auto place = file.path + L"\\" + evidence.policyValue;
        auto finding = withSubject(
            subjectOf(lock),
            {FindingKind::LocalPolicyFile, std::wstring(browser->group), std::move(place),
             lock.holds + std::wstring(texts::kLocalPolicyReappliedSuffix),
             repairable && !isLeftAsIs(lock), PolicyHives::None, std::move(evidence)});
        finding.title = lock.title;
        findings.push_back(std::move(finding));
    }
    return findings;
}

Finding findingOf(const UnreadLocalPolicy& unread) {
    const bool machine = unread.hives == PolicyHives::Machine;
    auto finding = withSubject(
        FindingSubject::PolicyFile,
        {FindingKind::LocalPolicyFile, std::wstring(texts::kLocalPolicyUnreadGroup), unread.path,
         std::wstring(machine ? texts::kLocalPolicyUnreadMachine : texts::kLocalPolicyUnreadUsers),
         false, unread.hives});
    finding.title = {
        .what = texts::kLocalPolicyUnreadTitle,
        .value = std::wstring(machine ? texts::kMachinesPolicies : texts::kUsersPolicies)};
    return finding;
}

bool removeLocalPolicyLocks(PlatformOps& platform, const LocalPolicyFile& file, FileBackup& files,
                            FailureLog& failures) {
    const auto after = withoutPolicyFileLocks(file.bytes, file.entries, file.locks);
    if (files.save(file.path, file.bytes, after, failures)) {
        return false;
    }
    if (const auto error =
            platform.ReplaceFileContent(file.path, after, FileProtection::AsReplaced)) {
        failures.add(file.path, error);
        return false;
    }
    return true;
}

void raisePolicyVersion(PlatformOps& platform, std::wstring_view gptIni, std::uint32_t step,
                        FileBackup& files, FailureLog& failures) {
    const auto before = platform.ReadFileContent(gptIni, kMaxGptIniBytes);
    if (!before.ok()) {
        if (!isNotFound(before.error())) {
            failures.add(gptIni, before.error());
        }
        return;
    }
    const auto after = withVersionRaised(before.value(), step);
    if (!after || files.save(gptIni, before.value(), *after, failures)) {
        return;
    }
    if (const auto error =
            platform.ReplaceFileContent(gptIni, *after, FileProtection::AsReplaced)) {
        failures.add(gptIni, error);
    }
}

bool isLocalPolicyFilePath(std::wstring_view path) {
    return isUserPolicyFile(path) ||
           namesAre(lastNames(path, 3), {L"GroupPolicy", L"Machine", kPolicyFileName}) ||
           namesAre(lastNames(path, 3), {L"GroupPolicy", L"User", kPolicyFileName}) ||
           namesAre(lastNames(path, 2), {L"GroupPolicy", kGptIniName}) ||
           namesAre(lastNames(path, 3), {L"GroupPolicyUsers", L"", kGptIniName});
}

}  // namespace tovask
