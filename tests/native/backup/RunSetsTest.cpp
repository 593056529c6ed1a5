#include <algorithm>
#include <chrono>
#include <set>

#include "repair/backup/runs/RegistryItems.h"
#include "repair/backup/runs/RunSets.h"
#include "repair/texts/ProgramTexts.h"
#include "tests/native/RepairFixture.h"
#include "text/RegistryEncoding.h"

namespace tovask::test {
namespace {

const std::wstring kRestrictions =
    L"HKLM\\Software\\Policies\\Microsoft\\Internet Explorer\\Restrictions\\";
const RegistryValue kHijack = dwordValue(1);
const RegistryValue kPersons = dwordValue(0);

// What happens to the machine, in order: a hijacker sets a restriction, a
// repair takes out what it finds, the person sets a restriction their own
// way, a hijacker sets Internet Explorer's start page (so the next repair
// begins the registry backup anew), or a run's set is undone by its number.
enum class Act { Hijack, HijackStartPage, Repair, PersonSets, Undo, UndoAtTheWindow };
struct Step {
    Act act;
    wchar_t item = L'A';  // the restriction the step touches: A, B or C
    std::uint32_t run = 0;
    RunOutcome outcome = RunOutcome::Done;
};
Step hijack(wchar_t item) {
    return {Act::Hijack, item};
}
Step repair() {
    return {Act::Repair};
}
Step person(wchar_t item) {
    return {Act::PersonSets, item};
}
Step hijackStartPage() {
    return {Act::HijackStartPage};
}
Step windowUndo() {
    return {Act::UndoAtTheWindow};
}
Step undo(std::uint32_t run, RunOutcome outcome = RunOutcome::Done) {
    return {Act::Undo, L'A', run, outcome};
}

std::wstring pathOf(wchar_t item) {
    return kRestrictions + (item == L'A'   ? L"NoBrowserOptions"
                            : item == L'B' ? L"NoBrowserContextMenu"
                                           : L"NoFileOpen");
}

struct RunsCase {
    std::string name;
    std::vector<Step> steps;
    // Each restriction at the end: the hijacker's, the person's, or gone.
    std::map<wchar_t, std::optional<RegistryValue>> after;
    // Where told: the runs /runs lists undone, the last question's lines naming runs.
    std::optional<std::set<std::uint32_t>> undone = std::nullopt;
    std::optional<std::vector<std::wstring>> question = std::nullopt;

    friend void PrintTo(const RunsCase& c, std::ostream* out) { *out << c.name; }
};

class RunsUndone : public testing::TestWithParam<RunsCase> {
  protected:
    void SetUp() override {
        bench.platform.registry.addKeysEveryWindowsHas();
        bench.view.repairFindings = true;
    }
    void write(wchar_t item, const RegistryValue& value) {
        const auto path = pathOf(item);
        bench.platform.registry.writeRaw(path.substr(0, path.rfind(L'\\') + 1),
                                         path.substr(path.rfind(L'\\') + 1), value,
                                         RegistryView::Default);
    }

    RepairBench bench;
};

TEST_P(RunsUndone, PutBackOnlyWhatIsStillAsTheirRunLeftIt) {
    for (const auto& step : GetParam().steps) {
        switch (step.act) {
            case Act::Hijack:
                write(step.item, kHijack);
                break;
            case Act::PersonSets:
                write(step.item, kPersons);
                break;
            case Act::HijackStartPage:
                bench.platform.registry.write(
                    L"HKCU\\Software\\Microsoft\\Internet Explorer\\Main\\Start Page",
                    L"http://secuestro.example", RegistryType::String);
                break;
            case Act::Repair:
                ASSERT_EQ(bench.press(), RunOutcome::Done)
                    << testing::PrintToString(bench.view.lines);
                break;
            case Act::UndoAtTheWindow:
                bench.undo();
                break;
            case Act::Undo:
                bench.load();
                EXPECT_EQ(bench.repair.undoRun(step.run), step.outcome)
                    << step.run << testing::PrintToString(bench.view.lines);
                break;
        }
    }
    for (const auto& [item, value] : GetParam().after) {
        const auto now = bench.platform.RegReadValue(pathOf(item), RegistryView::Default);
        EXPECT_EQ(now.ok() ? std::optional(now.value()) : std::nullopt, value) << char(item);
    }
    if (GetParam().question) {
        std::vector<std::wstring> named;
        std::ranges::copy_if(
            bench.view.confirmations.back().lines, std::back_inserter(named),
            [](const std::wstring& line) { return line.starts_with(L"Ejecuciones"); });
        EXPECT_EQ(named, *GetParam().question);
    }
    if (GetParam().undone) {
        bench.repair.listRuns();
        std::set<std::uint32_t> undone;
        for (std::uint32_t run = 1; run < bench.view.lines.size(); ++run) {
            if (bench.view.lines[run - 1].ends_with(L"deshecha el 7/3/2026 09:05")) {
                undone.insert(run);
            }
        }
        EXPECT_EQ(undone, *GetParam().undone) << testing::PrintToString(bench.view.lines);
    }
}

constexpr auto kLeft = RunOutcome::DoneWithFailures;
const std::wstring kUndoes = L"Ejecuciones que se deshacen: ";
const std::wstring kAtNine = L" (7 de marzo de 2026 a las 09:05)";
constexpr auto kRefused = RunOutcome::AlreadyUndone;

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Sets, RunsUndone,
    testing::Values(
        RunsCase{"TwoOnDifferentItemsFirstUndoneFirst", {hijack('A'), repair(), hijack('B'), repair(), undo(1), undo(2)}, {{'A', kHijack}, {'B', kHijack}}},
        RunsCase{"TwoOnDifferentItemsLastUndoneFirst", {hijack('A'), repair(), hijack('B'), repair(), undo(2), undo(1)}, {{'A', kHijack}, {'B', kHijack}}},
        RunsCase{"TwoOnDifferentItemsOnlyTheFirstUndone", {hijack('A'), repair(), hijack('B'), repair(), undo(1)}, {{'A', kHijack}, {'B', std::nullopt}}},
        RunsCase{"TwoOnTheSameItemLastUndoneFirst", {hijack('A'), repair(), hijack('A'), repair(), undo(2), undo(1, kLeft)}, {{'A', kHijack}}},
        RunsCase{"TwoOnTheSameItemFirstUndoneFirst", {hijack('A'), repair(), hijack('A'), repair(), undo(1), undo(2, kLeft)}, {{'A', kHijack}}},
        RunsCase{"ThePersonsChangeIsLeft", {hijack('A'), repair(), person('A'), undo(1, kLeft)}, {{'A', kPersons}}},
        RunsCase{"ThePersonsChangeBetweenTwoRunsIsLeft", {hijack('A'), repair(), hijack('B'), repair(), person('A'), undo(2), undo(1, kLeft)}, {{'A', kPersons}, {'B', kHijack}}},
        RunsCase{"ThreeUndoneInOrder", {hijack('A'), repair(), hijack('B'), repair(), hijack('C'), repair(), undo(1), undo(2), undo(3)}, {{'A', kHijack}, {'B', kHijack}, {'C', kHijack}}},
        RunsCase{"ThreeUndoneFromTheLast", {hijack('A'), repair(), hijack('B'), repair(), hijack('C'), repair(), undo(3), undo(2), undo(1)}, {{'A', kHijack}, {'B', kHijack}, {'C', kHijack}}},
        RunsCase{"ThreeUndoneFromTheMiddle", {hijack('A'), repair(), hijack('B'), repair(), hijack('C'), repair(), undo(2), undo(3), undo(1)}, {{'A', kHijack}, {'B', kHijack}, {'C', kHijack}}},
        RunsCase{"ThreeUndoneLastThenFirst", {hijack('A'), repair(), hijack('B'), repair(), hijack('C'), repair(), undo(3), undo(1), undo(2)}, {{'A', kHijack}, {'B', kHijack}, {'C', kHijack}}},
        RunsCase{"ThreeOnOneItemTheMiddleUndone", {hijack('A'), repair(), hijack('A'), repair(), hijack('A'), repair(), undo(2)}, {{'A', kHijack}}},
        RunsCase{"ThreeWithThePersonBetween", {hijack('A'), repair(), hijack('B'), repair(), person('A'), hijack('C'), repair(), undo(1, kLeft), undo(3), undo(2)}, {{'A', kPersons}, {'B', kHijack}, {'C', kHijack}}},
        RunsCase{"TheWindowsUndoPutsBackTheBackupTheRunsAddedTo", {hijack('A'), repair(), hijack('B'), repair(), windowUndo()}, {{'A', kHijack}, {'B', kHijack}}, {{1, 2}}, {{kUndoes + L"1" + kAtNine + L", 2" + kAtNine}}},
        RunsCase{"TheWindowsUndoOfABackupBegunAnewMarksOnlyTheLastRun", {hijack('A'), repair(), hijackStartPage(), hijack('B'), repair(), windowUndo()}, {{'A', std::nullopt}, {'B', kHijack}}, {{2}}, {{kUndoes + L"2" + kAtNine, L"Ejecuciones anteriores, que se deshacen desde la línea de comandos: /undo:1"}}},
        RunsCase{"TheWindowsUndoLeavesARunUndoneBefore", {hijack('A'), repair(), hijack('B'), repair(), undo(1), person('A'), windowUndo()}, {{'A', kPersons}, {'B', kHijack}}, {{1, 2}}, {{}}},
        RunsCase{"ASecondUndoIsRefused", {hijack('A'), repair(), undo(1), person('A'), undo(1, kRefused)}, {{'A', kPersons}}},
        RunsCase{"AnUnknownRunIsNothingToUndo", {hijack('A'), repair(), undo(2, RunOutcome::NothingToUndo)}, {{'A', std::nullopt}}}),
    [](const auto& info) { return info.param.name; });
// clang-format on

RegistryFileSection key(std::wstring name, std::vector<std::wstring> values = {}) {
    RegistryFileSection section{L"HKEY_LOCAL_MACHINE\\" + name, false, {}};
    for (auto& value : values) {
        section.entries.push_back({std::move(value), dwordValue(1)});
    }
    return section;
}
RegistryFileSection removed(std::wstring name) {
    return {L"HKEY_LOCAL_MACHINE\\" + name, true, {}};
}

using ItemSpan = std::tuple<std::size_t, std::size_t, std::optional<std::wstring>>;

struct ItemsCase {
    std::string name;
    std::vector<RegistryFileSection> sections;
    std::vector<ItemSpan> items;  // first section, past the last, value

    friend void PrintTo(const ItemsCase& c, std::ostream* out) { *out << c.name; }
};

class ItemsOfABackup : public testing::TestWithParam<ItemsCase> {};

TEST_P(ItemsOfABackup, AreEachValueAndEachKeyWithTheSubtreeItPutsBack) {
    std::vector<ItemSpan> items;
    for (const auto& item : registryItems(GetParam().sections)) {
        items.emplace_back(item.section, item.sectionsEnd, item.value);
    }
    EXPECT_EQ(items, GetParam().items);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Sections, ItemsOfABackup,
    testing::Values(
        ItemsCase{"EachValueAnItem", {key(L"A", {L"x", L"y"})}, {{0, 1, L"x"}, {0, 1, L"y"}}},
        ItemsCase{"AKeyTheRunCreated", {removed(L"A")}, {{0, 1, std::nullopt}}},
        ItemsCase{"ASubtreeTheRunRemoved", {removed(L"A"), key(L"A", {L"x"}), key(L"A\\B", {L"y"}), key(L"C", {L"z"})}, {{0, 3, std::nullopt}, {3, 4, L"z"}}},
        ItemsCase{"ASiblingIsNotBelow", {removed(L"A"), key(L"AB", {L"x"})}, {{0, 1, std::nullopt}, {1, 2, L"x"}}},
        ItemsCase{"AnEmptyKey", {key(L"A")}, {{0, 1, std::nullopt}}}),
    [](const auto& info) { return info.param.name; });
// clang-format on

TEST(ItemsOfABackup, ChosenGiveOnlyTheirSections) {
    const std::vector sections{removed(L"A"), key(L"A", {L"x"}), key(L"C", {L"y", L"z"})};
    const auto items = registryItems(sections);
    const std::vector chosen{items[0], items[2]};
    const std::vector expected{removed(L"A"), key(L"A", {L"x"}), key(L"C", {L"z"})};
    EXPECT_EQ(sectionsOfItems(sections, chosen), expected);
}

const std::string kSavedHash(64, 'a');
const std::string kLeftHash(64, 'b');
const RunSetManifest kManifest{
    7,
    {2026, 3, 7, 9, 5},
    true,
    {L"/browsers", L"/network"},
    kSavedHash,
    kLeftHash,
    true,
    {{std::wstring(kSystemHosts), kSavedHash, kLeftHash}},
    {{"00c0ffee00c0ffee", "browserPolicy", L"HKLM\\SOFTWARE\\Policies\\Google Chrome"}}};
const FileReach kOnlySystemHosts = [](std::wstring_view path) { return path == kSystemHosts; };

TEST(RunManifest, ReadsBackAsWritten) {
    EXPECT_EQ(parseRunManifest(runManifestText(kManifest), kOnlySystemHosts), kManifest);
}

TEST(RunManifest, APlaceWithALineBreakKeepsItsRowOnOneLine) {
    auto manifest = kManifest;
    manifest.findings.front().place = L"HKLM\\Run\\a\r\nregistro b";
    const auto read = parseRunManifest(runManifestText(manifest), kOnlySystemHosts);
    ASSERT_TRUE(read);
    ASSERT_EQ(read->findings.size(), 1u);
    EXPECT_EQ(read->findings.front().place, L"HKLM\\Run\\a\uFFFD\uFFFDregistro b");
}

TEST(RunManifest, WrittenBeforeItToldHowTheRegistryBackupBeganReadsBack) {
    auto earlier = kManifest;
    earlier.registryStarted.reset();
    EXPECT_EQ(parseRunManifest(runManifestText(earlier), kOnlySystemHosts), earlier);
}

struct ManifestChange {
    std::string name;
    std::string written;  // a part of the manifest as written
    std::string instead;

    friend void PrintTo(const ManifestChange& c, std::ostream* out) { *out << c.name; }
};

class MalformedManifest : public testing::TestWithParam<ManifestChange> {};

TEST_P(MalformedManifest, IsRefused) {
    auto text = runManifestText(kManifest);
    const auto at = text.find(GetParam().written);
    ASSERT_NE(at, std::string::npos);
    text.replace(at, GetParam().written.size(), GetParam().instead);
    EXPECT_FALSE(parseRunManifest(text, kOnlySystemHosts));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Lines, MalformedManifest,
    testing::Values(
        ManifestChange{"AnotherHeading", "ejecucion 1", "ejecucion 2"},
        ManifestChange{"NumberNotDecimal", "id 7", "id 0x7"},
        ManifestChange{"NoSuchDay", "2026-03-07", "2026-02-30"},
        ManifestChange{"UsersUnknown", "usuarios todos", "usuarios algunos"},
        ManifestChange{"SwitchWithoutSlash", " /network", " network"},
        ManifestChange{"RegistryHashShort", "registro " + kSavedHash, "registro " + kSavedHash.substr(1)},
        ManifestChange{"FindingIdInCapitals", "hallazgo 00c0ffee", "hallazgo 00C0FFEE"},
        ManifestChange{"FindingKindNotAName", "browserPolicy", "browser-policy"},
        ManifestChange{"FindingWithoutPlace", " browserPolicy HKLM\\SOFTWARE\\Policies\\Google Chrome", " browserPolicy"},
        ManifestChange{"HostsOutOfReach", "hosts " + kSavedHash + " " + kLeftHash + " C:", "hosts " + kSavedHash + " " + kLeftHash + " D:"},
        ManifestChange{"LineOfNoKind", "registro ", "otro "},
        ManifestChange{"RegistryBackupBegunNeitherWay", " nuevo", " otro"},
        ManifestChange{"LastLineUnended", "\\hosts\r\n", "\\hosts"}),
    [](const auto& info) { return info.param.name; });
// clang-format on

class RunSetsBench : public testing::Test {
  protected:
    void SetUp() override {
        bench.platform.registry.addKeysEveryWindowsHas();
        bench.view.repairFindings = true;
    }
    void repairAHijack(wchar_t item = L'A') {
        const auto path = pathOf(item);
        bench.platform.registry.writeRaw(path.substr(0, path.rfind(L'\\') + 1),
                                         path.substr(path.rfind(L'\\') + 1), kHijack,
                                         RegistryView::Default);
        ASSERT_EQ(bench.press(), RunOutcome::Done);
    }
    std::vector<std::wstring> listed() {
        EXPECT_EQ(bench.repair.listRuns(), RunOutcome::Done);
        return bench.view.lines;
    }

    RepairBench bench;
};

TEST_F(RunSetsBench, AreListedWithWhetherEachCanStillBeUndoneAndTheirSize) {
    repairAHijack(L'A');
    repairAHijack(L'B');
    ASSERT_EQ(bench.repair.undoRun(1), RunOutcome::Done);
    const auto lines = listed();
    ASSERT_EQ(lines.size(), 3u) << testing::PrintToString(lines);
    EXPECT_TRUE(lines[0].starts_with(L"Ejecución 1: 7/3/2026 09:05, el usuario actual, /browsers"));
    EXPECT_TRUE(lines[0].ends_with(L"; deshecha el 7/3/2026 09:05")) << lines[0];
    EXPECT_TRUE(
        lines[1].ends_with(L"1 valor del registro; hallazgos reparados: "
                           L"Restricciones de Internet Explorer (1); se puede deshacer"))
        << lines[1];
    EXPECT_TRUE(lines[2].starts_with(texts::kRunSetsSizePrefix)) << lines[2];
}

TEST_F(RunSetsBench, AreNotWrittenByARunThatChangesNothing) {
    repairAHijack();
    ASSERT_EQ(bench.press(), RunOutcome::Done);
    EXPECT_EQ(listed().size(), 2u) << testing::PrintToString(bench.view.lines);
}

struct HostsCase {
    std::string name;
    std::optional<std::string> personsHosts;  // what the person wrote after the run
    RunOutcome outcome;
    std::string after;

    friend void PrintTo(const HostsCase& c, std::ostream* out) { *out << c.name; }
};

class HostsInASet : public RunSetsBench, public testing::WithParamInterface<HostsCase> {};

TEST_P(HostsInASet, ComesBackOnlyWhileItHoldsWhatTheRunLeft) {
    bench.addFiles({{kSystemHosts, kHijackedHosts}});
    repairAHijack();
    if (GetParam().personsHosts) {
        bench.platform.files.addFile(kSystemHosts, *GetParam().personsHosts);
    }
    EXPECT_EQ(bench.repair.undoRun(1), GetParam().outcome);
    EXPECT_EQ(bench.bytesOf(kSystemHosts), GetParam().after);
    // The run's other changes come back with it either way.
    EXPECT_TRUE(bench.platform.registry.value(pathOf(L'A')));
}

TEST_F(RunSetsBench, TheWindowsUndoLeavesAHostsFileARunUndoneOnItsOwnPutBack) {
    bench.addFiles({{kSystemHosts, kHijackedHosts}});
    repairAHijack();
    ASSERT_EQ(bench.repair.undoRun(1), RunOutcome::Done);
    bench.platform.files.addFile(kSystemHosts, "10.1.1.1 intranet\r\n");
    bench.undo();
    EXPECT_EQ(bench.bytesOf(kSystemHosts), "10.1.1.1 intranet\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Files, HostsInASet,
    testing::Values(HostsCase{"AsTheRunLeftIt", std::nullopt, RunOutcome::Done, kHijackedHosts},
                    HostsCase{"ChangedByThePerson", "10.1.1.1 intranet\r\n",
                              RunOutcome::DoneWithFailures, "10.1.1.1 intranet\r\n"}),
    [](const auto& info) { return info.param.name; });

const std::wstring kPoliciesFile = L"D:\\Firefox\\distribution\\policies.json";
const std::string kLockedHomePage =
    R"({"policies": {"Homepage": {"URL": "http://buscar.example"}}})";
const std::wstring kSideloaded = L"D:\\Firefox\\distribution\\extensions\\malo@x.example.xpi";
const std::wstring kChangedSince = L" (cambió después de esa ejecución; se deja como está)";

struct FileCase {
    std::string name;
    std::wstring file;
    std::string before;
    std::optional<std::string> personsBytes;  // put there after the run
    std::wstring reported;                    // the undo's line naming the file

    friend void PrintTo(const FileCase& c, std::ostream* out) { *out << c.name; }
};

class FilesInASet : public RunSetsBench, public testing::WithParamInterface<FileCase> {};

TEST_P(FilesInASet, ComeBackOnlyWhileStillAsTheRunLeftThem) {
    bench.platform.RegWrite(
        L"HKLM\\SOFTWARE\\Mozilla\\Mozilla Firefox\\115.0\\Main\\Install Directory", L"D:\\Firefox",
        RegistryType::String);
    bench.addFiles({{GetParam().file, GetParam().before}});
    repairAHijack();
    if (GetParam().personsBytes) {
        bench.platform.files.addFile(GetParam().file, *GetParam().personsBytes);
    }
    bench.repair.undoRun(1);
    EXPECT_TRUE(std::ranges::count(bench.view.lines, GetParam().reported))
        << testing::PrintToString(bench.view.lines);
    EXPECT_EQ(bench.bytesOf(GetParam().file), GetParam().personsBytes.value_or(GetParam().before));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Changes, FilesInASet,
    testing::Values(
        FileCase{"RewrittenAsTheRunLeftIt", kPoliciesFile, kLockedHomePage, std::nullopt, L"Puesto de nuevo: Bloqueos de otros navegadores: " + kPoliciesFile},
        FileCase{"RewrittenByThePersonSince", kPoliciesFile, kLockedHomePage, "{}", L"Dejado: " + kPoliciesFile + kChangedSince},
        FileCase{"RemovedAndStillGone", kSideloaded, "PK", std::nullopt, L"Puesto de nuevo: Bloqueos de otros navegadores: " + kSideloaded},
        FileCase{"RemovedAndAnotherPutInItsPlace", kSideloaded, "PK", "rem", L"Dejado: " + kSideloaded + kChangedSince}),
    [](const auto& info) { return info.param.name; });
// clang-format on

struct DamageCase {
    std::string name;
    std::wstring file;  // in the set's folder, one byte added at its end

    friend void PrintTo(const DamageCase& c, std::ostream* out) { *out << c.name; }
};

class DamagedSet : public RunSetsBench, public testing::WithParamInterface<DamageCase> {};

TEST_P(DamagedSet, IsRefusedWholeAndListedSo) {
    repairAHijack();
    const auto path = std::wstring(kRunSetsFolder) + L"20260307-0905-1\\" + GetParam().file;
    bench.platform.files.addFile(path, bench.bytesOf(path).value() + "x");
    EXPECT_EQ(bench.repair.undoRun(1), RunOutcome::DoneWithFailures);
    EXPECT_FALSE(bench.platform.registry.value(pathOf(L'A')));
    bench.repair.listRuns();
    EXPECT_TRUE(
        bench.view.lines.front().starts_with(L"Ejecución 1: 7/3/2026 09:05; no se puede usar: "))
        << bench.view.lines.front();
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedSet,
    testing::Values(DamageCase{"Manifest", std::wstring(kRunManifestName)},
                    DamageCase{"RegistryBackup", std::wstring(kRunRegistryBackupName)},
                    DamageCase{"WhatTheRunLeft", std::wstring(kRunRegistryLeftName)}),
    [](const auto& info) { return info.param.name; });

struct BoundCase {
    std::string name;
    int runs;
    int daysApart;
    std::size_t kept;  // the newest, the last always among them

    friend void PrintTo(const BoundCase& c, std::ostream* out) { *out << c.name; }
};

class RunSetsBound : public RunSetsBench, public testing::WithParamInterface<BoundCase> {};

TEST_P(RunSetsBound, KeepsTwentySetsOrThirtyDaysWhicheverKeepsMore) {
    const std::chrono::sys_days first{std::chrono::year{2026} / 1 / 1};
    for (int run = 0; run < GetParam().runs; ++run) {
        const std::chrono::year_month_day day{first +
                                              std::chrono::days{run * GetParam().daysApart}};
        bench.platform.now = {static_cast<int>(day.year()), static_cast<int>(unsigned{day.month()}),
                              static_cast<int>(unsigned{day.day()}), 9, 5};
        repairAHijack();
    }
    const auto kept = bench.platform.FoldersInFolder(
        std::wstring(kRunSetsFolder).substr(0, kRunSetsFolder.size() - 1));
    ASSERT_TRUE(kept.ok());
    EXPECT_EQ(kept.value().size(), GetParam().kept);
    EXPECT_TRUE(std::ranges::any_of(kept.value(), [&](const std::wstring& folder) {
        return folder.ends_with(L"-" + std::to_wstring(GetParam().runs));
    }));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Ages, RunSetsBound,
    testing::Values(BoundCase{"AllOnOneDayAreKept", 22, 0, 22},
                    BoundCase{"TwentyFiveInTwentyFiveDaysAreKept", 25, 1, 25},
                    BoundCase{"AMonthApartTheNewestTwentyAreKept", 22, 31, 20},
                    BoundCase{"TenDaysApartTheNewestTwentyAreKept", 25, 10, 20}),
    [](const auto& info) { return info.param.name; });
// clang-format on

}  // namespace
}  // namespace tovask::test
