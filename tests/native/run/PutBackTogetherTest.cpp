#include <gtest/gtest.h>

#include "repair/findings/PutBackTogether.h"

namespace tovask::test {
namespace {

const std::wstring kId = L"abcdefghijklmnopabcdefghijklmnop";
const Finding kForced{FindingKind::BrowserPolicy, L"Chrome",
                      L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Policies\\Google\\Chrome\\"
                      L"ExtensionInstallForcelist\\1",
                      kId + L";https://malo.example/update", true};
const Finding kInPolicyFile{FindingKind::LocalPolicyFile, L"Chrome",
                            L"C:\\WINDOWS\\Sysnative\\GroupPolicy\\Machine\\Registry.pol\\"
                            L"SOFTWARE\\Policies\\Google\\Chrome\\ExtensionInstallForcelist\\1",
                            L"x", true};

Finding startup(std::wstring holds) {
    return {FindingKind::Startup, L"Tareas programadas", L"\\Carga", std::move(holds), true};
}

struct PairCase {
    std::string name;
    Finding source;
    Finding lock;
    bool together;

    friend void PrintTo(const PairCase& c, std::ostream* out) { *out << c.name; }
};

class PutBack : public testing::TestWithParam<PairCase> {};

TEST_P(PutBack, NamesEachOtherAndIsOfferedTogether) {
    std::vector<Finding> findings{GetParam().lock, GetParam().source};
    notePutBackTogether(findings);
    const bool noted = findings[0].holds.ends_with(GetParam().source.place) &&
                       findings[1].holds.ends_with(GetParam().lock.place);
    EXPECT_EQ(noted, GetParam().together);
    const auto offered = offeredWithWhatPutsBack(findings, {GetParam().lock.kind});
    EXPECT_EQ(offered[1], GetParam().together);
}

// Offered with /startup alone: the task, the lock it reinstalls and that
// lock's entry in the policy file, but not the task's unrelated neighbour.
TEST(PutBack, OffersThePartnersOfTheOfferedFindingsOnly) {
    const std::vector<Finding> findings{
        kForced,
        kInPolicyFile,
        startup(L"chrome.exe --load-extension=C:\\x\\" + kId),
        startup(L"chrome.exe https://buscar.example"),
        {FindingKind::BrowserPolicy, L"Edge",
         L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Policies\\Microsoft\\Edge\\HomepageLocation", L"x", true}};
    EXPECT_EQ(offeredWithWhatPutsBack(findings, {FindingKind::Startup}),
              (std::vector<bool>{true, true, true, true, false}));
    EXPECT_EQ(offeredWithWhatPutsBack(findings, {FindingKind::LocalPolicyFile}),
              (std::vector<bool>{true, true, true, false, false}));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Pairs, PutBack,
    testing::Values(
        PairCase{"SameEntryInPolicyFile", kInPolicyFile, kForced, true},
        PairCase{"OtherEntryInPolicyFile", {FindingKind::LocalPolicyFile, L"Chrome", L"C:\\W\\Registry.pol\\SOFTWARE\\Policies\\Google\\Chrome\\HomepageLocation", L"x", true}, kForced, false},
        PairCase{"TaskNamingTheExtension", startup(L"chrome.exe --load-extension=C:\\x\\" + kId + L"; abre"), kForced, true},
        PairCase{"TaskWritingTheList", startup(L"reg add HKLM\\...\\ExtensionInstallForcelist /v 1"), kForced, true},
        PairCase{"TaskOpeningAPage", startup(L"chrome.exe https://buscar.example; abre"), kForced, false}),
    [](const testing::TestParamInfo<PairCase>& info) { return info.param.name; });
// clang-format on

}  // namespace
}  // namespace tovask::test
