#include <algorithm>

#include "repair/findings/FindingsChoice.h"
#include "repair/report/RunSummary.h"
#include "tests/native/RepairFixture.h"

namespace tovask::test {
namespace {

// Two findings of one kind; the user unchecks the first.
struct ChoiceCase {
    std::string name;
    std::wstring unchecked;  // the path of the value whose box is unchecked
    std::wstring checked;
    std::wstring_view data;
    std::wstring_view leftPrefix;
    std::wstring_view repairedCount;  // the summary's words for the one repaired

    friend void PrintTo(const ChoiceCase& c, std::ostream* out) { *out << c.name; }
};

class UncheckedFinding : public testing::TestWithParam<ChoiceCase> {
  protected:
    void SetUp() override {
        bench.platform.registry.addKeysEveryWindowsHas();
        for (const auto& path : {GetParam().unchecked, GetParam().checked}) {
            ASSERT_FALSE(bench.platform.RegWrite(path, GetParam().data, RegistryType::String));
        }
        before = bench.platform.registry.snapshot();
        const auto& path = GetParam().unchecked;
        bench.view.uncheckedEnding = path.substr(path.rfind(L'\\', path.rfind(L'\\') - 1));
        bench.view.repairFindings = true;
        bench.load();
    }
    RepairBench bench;
    std::map<std::wstring, fake::StoredValue> before;
};

TEST_P(UncheckedFinding, IsLeftCountedByTheCheckAndTheOtherIsRepairedAndUndone) {
    bench.press();
    ASSERT_EQ(bench.view.questions.size(), 1u);
    EXPECT_EQ(bench.view.questions[0].size(), 2u);
    EXPECT_TRUE(bench.platform.registry.value(GetParam().unchecked).has_value());
    EXPECT_FALSE(bench.platform.registry.value(GetParam().checked).has_value());
    const auto ending = bench.view.uncheckedEnding;
    EXPECT_TRUE(std::ranges::any_of(bench.view.lines, [&](const std::wstring& line) {
        return line.starts_with(GetParam().leftPrefix) && line.ends_with(ending + L")");
    }));
    EXPECT_TRUE(bench.errorLines().empty());
    // The report ends with the summary: one removed, one left by choice.
    std::wstring summary;
    for (auto line = std::ranges::find(bench.view.lines, L"Resumen por navegador y lugar:");
         line != bench.view.lines.end(); ++line) {
        summary += *line + L"\n";
    }
    EXPECT_NE(summary.find(std::wstring(GetParam().repairedCount) + L": 1"), std::wstring::npos);
    EXPECT_NE(summary.find(L"dejados por elección: 1"), std::wstring::npos)
        << testing::PrintToString(summary);
    bench.view.uncheckedEnding = L"\n";  // the command line's check: every one offered
    bench.load();
    EXPECT_EQ(bench.check(), RunOutcome::RepairNeeded);
    bench.undo();
    EXPECT_TRUE(bench.platform.registry.snapshot() == before);
}

const std::wstring kIfeo =
    L"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options\\";
const std::wstring kRun = L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\";
const std::wstring kRestrictions =
    L"HKLM\\Software\\Policies\\Microsoft\\Internet Explorer\\Restrictions\\";

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Kinds, UncheckedFinding,
    testing::Values(
        ChoiceCase{"PolicyLocksOfTwoBrowsers", L"HKLM\\Software\\Policies\\Google\\Chrome\\HomepageLocation", L"HKLM\\Software\\Policies\\Microsoft\\Edge\\HomepageLocation", L"http://x.example", L"Bloqueo dejado: ", L"bloqueos quitados"},
        ChoiceCase{"PolicyLocksOfOneKey", L"HKLM\\Software\\Policies\\Google\\Chrome\\HomepageLocation", L"HKLM\\Software\\Policies\\Google\\Chrome\\NewTabPageLocation", L"http://x.example", L"Bloqueo dejado: ", L"bloqueos quitados"},
        ChoiceCase{"Debuggers", kIfeo + L"chrome.exe\\Debugger", kIfeo + L"msedge.exe\\Debugger", L"C:\\Users\\ana\\x.exe", L"Suplantación del navegador dejada: ", L"suplantaciones quitadas"},
        ChoiceCase{"StartupEntries", kRun + L"Anuncios", kRun + L"Buscar", L"chrome.exe https://buscar.example", L"Programa de inicio dejado: ", L"programas de inicio quitados"},
        ChoiceCase{"IeRestrictions", kRestrictions + L"NoBrowserOptions", kRestrictions + L"NoFileOpen", L"1", L"Restricción dejada: ", L"restricciones quitadas"}),
    [](const testing::TestParamInfo<ChoiceCase>& info) { return info.param.name; });
// clang-format on

// What the dialog shows: Chrome's two lines together although found apart,
// each saying what is wrong with its place beside it, and the report-only
// finding apart with why it is left.
TEST(FindingsChoice, GroupsByBrowserAndGivesBackTheCheckedOnes) {
    const std::vector<Finding> repairable = {
        {FindingKind::BrowserPolicy, L"Chrome", L"HKEY_LOCAL_MACHINE\\A", L"http://a.example"},
        {FindingKind::Shortcut, L"Accesos directos", L"C:\\Users\\ana\\Chrome.lnk", L""},
        {FindingKind::BrowserPolicy, L"Chrome", L"HKEY_LOCAL_MACHINE\\B", L"1"}};
    const std::vector<Finding> reportOnly = {
        {FindingKind::ProfilePreference, L"Edge", L"C:\\Preferences", L"inicio", false}};
    const FindingsOffer offer{repairable, reportOnly};
    const auto choice = choiceFor(offer);

    ASSERT_EQ(choice.toRepair.size(), 3u);
    EXPECT_EQ(choice.toRepair[0].text, L"Ajuste impuesto por una directiva: http://a.example");
    EXPECT_EQ(choice.toRepair[2].details[2], L"Dónde está: C:\\Users\\ana\\Chrome.lnk");
    ASSERT_EQ(choice.left.size(), 1u);
    EXPECT_EQ(choice.left[0].detail,
              L"en un equipo administrado por una organización, los perfiles no se cambian");
    EXPECT_EQ(checkedFindings(choice, {true, false, true}),
              (std::vector<FindingId>{repairable[0].id(), repairable[1].id()}));
}

TEST(RunSummary, CountsEachGroupsOutcomesInTheOrderFound) {
    RunSummary summary;
    EXPECT_TRUE(summary.lines().empty());
    const Finding chrome{FindingKind::BrowserPolicy, L"Chrome", L"a", L""};
    const Finding shortcut{FindingKind::Shortcut, L"Accesos directos", L"b", L""};
    summary.count(chrome, L"bloqueos quitados", Outcome::Repaired);
    summary.count(shortcut, L"accesos directos reparados", Outcome::Repaired);
    summary.count(chrome, L"bloqueos quitados", Outcome::Repaired);
    summary.count(chrome, L"bloqueos quitados", Outcome::Left);
    summary.count(shortcut, L"accesos directos reparados", Outcome::NotRepaired);
    summary.leftToDo(chrome, L"Buscador impuesto: x", L"restablezca el navegador");
    EXPECT_EQ(
        summary.lines(),
        (std::vector<std::wstring>{
            L"Resumen por navegador y lugar:",
            L"Chrome: bloqueos quitados: 2; dejados por elección: 1",
            L"Accesos directos: accesos directos reparados: 1; no se pudieron reparar: 1",
            L"Queda por hacer:", L"  Chrome: Buscador impuesto: x; restablezca el navegador"}));
}

// A kind is given what the kinds before it found, and nothing of those after it.
TEST(FindingKinds, EachRowReadsOnlyTheFindingsOfKindsBeforeIt) {
    std::set<FindingKind> before;
    for (const auto* row : findingKinds()) {
        for (const auto read : row->readsFindingsOf) {
            EXPECT_TRUE(before.contains(read))
                << testing::PrintToString(std::wstring(row->commandSwitch));
        }
        before.insert(row->kind);
    }
}

}  // namespace
}  // namespace tovask::test
