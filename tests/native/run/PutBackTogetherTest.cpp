#include <gtest/gtest.h>

#include "repair/findings/FindingWords.h"
#include "repair/findings/PutBackTogether.h"

namespace tovask::test {
namespace {

const std::wstring kId = L"abcdefghijklmnopabcdefghijklmnop";
const std::wstring kForcelist = L"SOFTWARE\\Policies\\Google\\Chrome\\ExtensionInstallForcelist";

// Findings whose words name each other's places and ids, and whose evidence
// says otherwise: only the evidence ties them.
Finding policy(FindingKind kind, std::wstring place, std::wstring policyValue, std::wstring data) {
    FindingEvidence evidence;
    evidence.policyValue = std::move(policyValue);
    evidence.policyData = std::move(data);
    return {kind,
            L"Chrome",
            std::move(place),
            L"x " + kId + L" " + kForcelist,
            true,
            PolicyHives::Machine,
            std::move(evidence)};
}

const Finding kForced =
    policy(FindingKind::BrowserPolicy, L"HKEY_LOCAL_MACHINE\\" + kForcelist + L"\\1",
           kForcelist + L"\\1", kId + L";https://malo.example/update");
const Finding kInPolicyFile =
    policy(FindingKind::LocalPolicyFile,
           L"C:\\WINDOWS\\Sysnative\\GroupPolicy\\Machine\\Registry.pol\\" + kForcelist + L"\\1",
           kForcelist + L"\\1", L"");

Finding startup(std::wstring runs, std::wstring place = L"\\Carga") {
    FindingEvidence evidence;
    evidence.runs = std::move(runs);
    return {FindingKind::Startup,
            L"Tareas programadas",
            std::move(place),
            L"chrome.exe " + kId + L" " + kForcelist,
            true,
            PolicyHives::None,
            std::move(evidence)};
}

bool offeredAt(const std::vector<Finding>& findings, const std::set<FindingId>& offered,
               std::size_t at) {
    return offered.contains(findings[at].id());
}

struct PairCase {
    std::string name;
    Finding source;
    Finding lock;
    bool together;

    friend void PrintTo(const PairCase& c, std::ostream* out) { *out << c.name; }
};

class PutBack : public testing::TestWithParam<PairCase> {};

TEST_P(PutBack, TiedByIdAndOfferedTogether) {
    std::vector<Finding> findings{GetParam().lock, GetParam().source};
    tiePutBackTogether(findings);
    const bool tied =
        findings[0].putBackBy == std::vector{findings[1].id()} &&
        findings[1].putsBack == std::vector{findings[0].id()} &&
        heldText(findings[0], findings).ends_with(L"lo vuelve a poner " + findings[1].place);
    EXPECT_EQ(tied, GetParam().together);
    const auto offered = offeredWithWhatPutsBack(findings, {GetParam().lock.kind});
    EXPECT_EQ(offeredAt(findings, offered, 1), GetParam().together);
}

// Offered with /startup alone: the task, the lock it reinstalls and that
// lock's entry in the policy file, but not the task's unrelated neighbour.
TEST(PutBack, OffersThePartnersOfTheOfferedFindingsOnly) {
    std::vector<Finding> findings{
        kForced,
        kInPolicyFile,
        startup(L"chrome.exe --load-extension=C:\\x\\" + kId),
        startup(L"chrome.exe https://buscar.example", L"\\Otra"),
        {FindingKind::BrowserPolicy, L"Edge",
         L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Policies\\Microsoft\\Edge\\HomepageLocation", L"x", true}};
    tiePutBackTogether(findings);
    const auto offeredWith = [&](FindingKind kind) {
        const auto offered = offeredWithWhatPutsBack(findings, {kind});
        std::vector<bool> each;
        for (std::size_t at = 0; at < findings.size(); ++at) {
            each.push_back(offeredAt(findings, offered, at));
        }
        return each;
    };
    EXPECT_EQ(offeredWith(FindingKind::Startup),
              (std::vector<bool>{true, true, true, true, false}));
    EXPECT_EQ(offeredWith(FindingKind::LocalPolicyFile),
              (std::vector<bool>{true, true, true, false, false}));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Pairs, PutBack,
    testing::Values(
        PairCase{"SameEntryInPolicyFile", kInPolicyFile, kForced, true},
        PairCase{"OtherEntryInPolicyFile", policy(FindingKind::LocalPolicyFile, L"C:\\W\\Registry.pol\\" + kForcelist + L"\\1", L"SOFTWARE\\Policies\\Google\\Chrome\\HomepageLocation", L""), kForced, false},
        PairCase{"TaskNamingTheExtension", startup(L"chrome.exe --load-extension=C:\\x\\" + kId + L"; abre"), kForced, true},
        PairCase{"TaskWritingTheList", startup(L"reg add HKLM\\...\\ExtensionInstallForcelist /v 1"), kForced, true},
        PairCase{"TaskOpeningAPage", startup(L"chrome.exe https://buscar.example; abre"), kForced, false}),
    [](const testing::TestParamInfo<PairCase>& info) { return info.param.name; });
// clang-format on

}  // namespace
}  // namespace tovask::test
