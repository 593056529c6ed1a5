#include "repair/findings/PutBackTogether.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <utility>

#include "repair/grouppolicy/LocalPolicyTexts.h"
#include "repair/report/FindingTexts.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

constexpr std::size_t kExtensionIdLength = 32;
constexpr std::array<std::wstring_view, 2> kForcingLists = {L"ExtensionInstallForcelist",
                                                            L"ExtensionSettings"};

// A browser extension's identifier: 32 letters from a to p.
std::vector<std::wstring_view> extensionIdsIn(std::wstring_view text) {
    std::vector<std::wstring_view> ids;
    std::size_t run = 0;
    for (std::size_t at = 0; at <= text.size(); ++at) {
        if (at < text.size() && text[at] >= L'a' && text[at] <= L'p') {
            ++run;
            continue;
        }
        if (run == kExtensionIdLength) {
            ids.push_back(text.substr(at - run, run));
        }
        run = 0;
    }
    return ids;
}

// The part of a local policy file finding's place after the file: the key and value.
std::wstring_view entryInFile(std::wstring_view place) {
    constexpr std::wstring_view kFileEnd = L".pol\\";
    const auto at = foldedCase(place).find(foldedCase(kFileEnd));
    return at == std::wstring::npos ? std::wstring_view{} : place.substr(at + kFileEnd.size());
}

bool isForcedExtension(const Finding& finding) {
    return finding.kind == FindingKind::BrowserPolicy &&
           std::ranges::any_of(
               kForcingLists, [&](auto list) { return containsIgnoringCase(finding.place, list); });
}

bool putsBack(const Finding& source, const Finding& lock) {
    if (source.kind == FindingKind::LocalPolicyFile && lock.kind == FindingKind::BrowserPolicy) {
        const auto entry = entryInFile(source.place);
        return !entry.empty() && lock.place.size() > entry.size() &&
               equalsIgnoringCase(lock.place.substr(lock.place.size() - entry.size()), entry) &&
               lock.place[lock.place.size() - entry.size() - 1] == L'\\';
    }
    if (source.kind != FindingKind::Startup || !isForcedExtension(lock)) {
        return false;
    }
    const auto ids = extensionIdsIn(lock.holds);
    return std::ranges::any_of(
               ids, [&](auto id) { return source.holds.find(id) != std::wstring::npos; }) ||
           std::ranges::any_of(kForcingLists, [&](auto list) {
               return containsIgnoringCase(source.holds, list) &&
                      containsIgnoringCase(lock.place, list);
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

void notePutBackTogether(std::vector<Finding>& findings) {
    std::vector<std::pair<std::size_t, std::wstring>> notes;
    forEachPair(findings, [&](std::size_t source, std::size_t lock) {
        notes.emplace_back(lock, std::wstring(texts::kPutBackBy) + findings[source].place);
        notes.emplace_back(source, std::wstring(texts::kPutsBack) + findings[lock].place);
    });
    for (const auto& [index, note] : notes) {
        findings[index].holds += note;
    }
}

std::vector<bool> offeredWithWhatPutsBack(std::span<const Finding> findings,
                                          const std::set<FindingKind>& offeredKinds) {
    std::vector<bool> offered(findings.size());
    for (std::size_t i = 0; i < findings.size(); ++i) {
        offered[i] = offeredKinds.contains(findings[i].kind);
    }
    std::vector<std::pair<std::size_t, std::size_t>> pairs;
    forEachPair(findings,
                [&](std::size_t source, std::size_t lock) { pairs.emplace_back(source, lock); });
    // A start-up entry may reinstall a lock that a policy file also puts back.
    for (bool grew = true; grew;) {
        grew = false;
        for (const auto& [source, lock] : pairs) {
            if (offered[source] != offered[lock]) {
                offered[source] = offered[lock] = true;
                grew = true;
            }
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

std::optional<std::size_t> stayingPolicyFileOf(std::span<const Finding> findings, std::size_t lock,
                                               const std::vector<bool>& rewritten) {
    const auto& registryLock = findings[lock];
    if (registryLock.kind != FindingKind::BrowserPolicy) {
        return std::nullopt;
    }
    for (std::size_t file = 0; file < findings.size(); ++file) {
        const auto& source = findings[file];
        if (source.kind != FindingKind::LocalPolicyFile || rewritten[file]) {
            continue;
        }
        if (isUnreadPolicyFile(source) ? source.hives == registryLock.hives
                                       : putsBack(source, registryLock)) {
            return file;
        }
    }
    return std::nullopt;
}

std::wstring putBackLine(const Finding& lock, const Finding& policyFile) {
    return std::wstring(texts::kLockPutBackPrefix) + lock.place + std::wstring(texts::kPutBackBy) +
           policyFile.place;
}

}  // namespace tovask
