#include "repair/report/Finding.h"

#include <algorithm>
#include <iterator>

#include "text/TextCompare.h"

namespace tovask {
namespace {

// FNV-1a over 64 bits: the same bytes give the same id on every run.
constexpr std::uint64_t kHashStart = 14695981039346656037ULL;
constexpr std::uint64_t kHashPrime = 1099511628211ULL;

void mix(std::uint64_t& hash, std::uint32_t unit) {
    for (int byte = 0; byte < 4; ++byte) {
        hash = (hash ^ ((unit >> (8 * byte)) & 0xFF)) * kHashPrime;
    }
}

void mix(std::uint64_t& hash, std::wstring_view text) {
    for (const wchar_t c : foldedCase(text)) {
        mix(hash, static_cast<std::uint32_t>(c));
    }
}

constexpr std::wstring_view kSubjectNames[] = {
    L"setting",
    L"homePage",
    L"searchEngine",
    L"newTabPage",
    L"startupPages",
    L"forcedExtension",
    L"extensionFromFolder",
    L"extensionKey",
    L"proxyServer",
    L"proxyScript",
    L"dnsServer",
    L"shortcutArgument",
    L"startupCommand",
    L"taskAction",
    L"debugger",
    L"restriction",
    L"rootCertificate",
    L"policyFile",
    L"deviceEnrollment",
    L"searchScope",
    L"helperObject",
    L"zoneEntry",
    L"zoneSetting",
    L"networkProvider",
};
static_assert(std::size(kSubjectNames) ==
              static_cast<std::size_t>(FindingSubject::NetworkProvider) + 1);

}  // namespace

std::wstring_view subjectName(FindingSubject subject) {
    return kSubjectNames[static_cast<std::size_t>(subject)];
}

Finding withSubject(FindingSubject subject, Finding finding) {
    finding.subject = subject;
    return finding;
}

FindingId Finding::id() const {
    std::uint64_t hash = kHashStart;
    mix(hash, static_cast<std::uint32_t>(kind));
    mix(hash, static_cast<std::uint32_t>(subject));
    mix(hash, place);
    // A place's name never holds a NUL, so the entry cannot run into it.
    mix(hash, 0u);
    mix(hash, entry);
    return {hash};
}

std::wstring idText(FindingId id) {
    constexpr std::wstring_view kDigits = L"0123456789abcdef";
    std::wstring text(16, L'0');
    for (std::size_t at = text.size(); at-- > 0; id.value >>= 4) {
        text[at] = kDigits[id.value & 0xF];
    }
    return text;
}

const Finding* findingWithId(std::span<const Finding> findings, FindingId id) {
    const auto found = std::ranges::find(findings, id, &Finding::id);
    return found == findings.end() ? nullptr : &*found;
}

std::vector<Finding> repairableOnly(std::span<const Finding> findings) {
    std::vector<Finding> repairable;
    std::ranges::copy_if(findings, std::back_inserter(repairable),
                         [](const Finding& finding) { return finding.repairable; });
    return repairable;
}

std::vector<FindingId> idsOf(std::span<const Finding> findings) {
    std::vector<FindingId> ids;
    std::ranges::transform(findings, std::back_inserter(ids), &Finding::id);
    return ids;
}

bool isKept(const Finding& finding, std::span<const FindingId> chosen) {
    return !finding.repairable || std::ranges::find(chosen, finding.id()) != chosen.end();
}

}  // namespace tovask
