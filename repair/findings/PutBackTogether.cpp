#include "repair/findings/PutBackTogether.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <utility>

#include "text/TextCompare.h"

namespace tovask {
namespace {

constexpr std::size_t kExtensionIdLength = 32;
constexpr std::array<std::wstring_view, 2> kForcingLists = {L"ExtensionInstallForcelist",
                                                            L"ExtensionSettings"};

// A browser extension's identifier: 32 letters from a to p.
std::vector<std::wstring_view> extensionIdsIn(std::wstring_view data) {
    std::vector<std::wstring_view> ids;
    std::size_t run = 0;
    for (std::size_t at = 0; at <= data.size(); ++at) {
        if (at < data.size() && data[at] >= L'a' && data[at] <= L'p') {
            ++run;
            continue;
        }
        if (run == kExtensionIdLength) {
            ids.push_back(data.substr(at - run, run));
        }
        run = 0;
    }
    return ids;
}

bool isForcedExtension(const Finding& finding) {
    return finding.kind == FindingKind::BrowserPolicy &&
           std::ranges::any_of(kForcingLists, [&](auto list) {
               return containsIgnoringCase(finding.evidence.policyValue, list);
           });
}

// Through the evidence alone: the policy an entry of a local policy file
// sets, the extensions a forcing list's value names, and what a start-up
// entry runs.
bool putsBack(const Finding& source, const Finding& lock) {
    if (source.kind == FindingKind::LocalPolicyFile && lock.kind == FindingKind::BrowserPolicy) {
        return !source.evidence.policyValue.empty() &&
               equalsIgnoringCase(source.evidence.policyValue, lock.evidence.policyValue);
    }
    if (source.kind != FindingKind::Startup || !isForcedExtension(lock)) {
        return false;
    }
    const auto& runs = source.evidence.runs;
    return std::ranges::any_of(extensionIdsIn(lock.evidence.policyData),
                               [&](auto id) { return runs.find(id) != std::wstring::npos; }) ||
           std::ranges::any_of(kForcingLists, [&](auto list) {
               return containsIgnoringCase(runs, list) &&
                      containsIgnoringCase(lock.evidence.policyValue, list);
           });
}

// A local policy file that could not be read carries the hives it writes.
bool isUnreadPolicyFile(const Finding& finding) {
    return finding.kind == FindingKind::LocalPolicyFile && finding.hives != PolicyHives::None;
}

bool mayPutBack(const Finding& finding) {
    return finding.kind == FindingKind::LocalPolicyFile || finding.kind == FindingKind::Startup;
}

// Each pair once; only the few findings that may put a lock back are paired
// with the locks, so that a long report costs no more than its length.
template <typename Visit>
void forEachPair(std::span<const Finding> findings, Visit visit) {
    for (std::size_t source = 0; source < findings.size(); ++source) {
        if (!mayPutBack(findings[source])) {
            continue;
        }
        for (std::size_t lock = 0; lock < findings.size(); ++lock) {
            if (findings[lock].kind == FindingKind::BrowserPolicy &&
                putsBack(findings[source], findings[lock])) {
                visit(source, lock);
            }
        }
    }
}

}  // namespace

void tiePutBackTogether(std::vector<Finding>& findings) {
    std::vector<std::pair<std::size_t, std::size_t>> pairs;
    forEachPair(findings,
                [&](std::size_t source, std::size_t lock) { pairs.emplace_back(source, lock); });
    for (const auto& [source, lock] : pairs) {
        findings[lock].putBackBy.push_back(findings[source].id());
        findings[source].putsBack.push_back(findings[lock].id());
    }
}

std::set<FindingId> offeredWithWhatPutsBack(std::span<const Finding> findings,
                                            const std::set<FindingKind>& offeredKinds) {
    std::set<FindingId> offered;
    for (const auto& finding : findings) {
        if (offeredKinds.contains(finding.kind)) {
            offered.insert(finding.id());
        }
    }
    // A start-up entry may reinstall a lock that a policy file also puts back.
    for (bool grew = true; grew;) {
        grew = false;
        for (const auto& finding : findings) {
            const auto ties = [&](std::span<const FindingId> partners) {
                for (const auto partner : partners) {
                    if (offered.contains(finding.id()) != offered.contains(partner)) {
                        offered.insert(finding.id());
                        offered.insert(partner);
                        grew = true;
                    }
                }
            };
            ties(finding.putsBack);
            ties(finding.putBackBy);
        }
    }
    return offered;
}

void forgetUnreadFilesWithoutLocks(std::vector<Finding>& findings) {
    const auto holdsALock = [&](PolicyHives hives) {
        return std::ranges::any_of(findings, [&](const Finding& finding) {
            return finding.kind == FindingKind::BrowserPolicy && finding.hives == hives;
        });
    };
    std::erase_if(findings, [&](const Finding& finding) {
        return isUnreadPolicyFile(finding) && !holdsALock(finding.hives);
    });
}

const Finding* stayingPolicyFileOf(std::span<const Finding> findings, const Finding& lock,
                                   const std::set<FindingId>& rewritten) {
    if (lock.kind != FindingKind::BrowserPolicy) {
        return nullptr;
    }
    for (const auto& source : findings) {
        if (source.kind != FindingKind::LocalPolicyFile || rewritten.contains(source.id())) {
            continue;
        }
        if (isUnreadPolicyFile(source) ? source.hives == lock.hives : putsBack(source, lock)) {
            return &source;
        }
    }
    return nullptr;
}

}  // namespace tovask
