#include <functional>
#include <iostream>

#include "tests/native/FaultMatrix.h"
#include "text/RegistryEncoding.h"

namespace tovask::test {
namespace {

struct FaultKind {
    std::string name;
    std::errc error;

    friend void PrintTo(const FaultKind& kind, std::ostream* out) { *out << kind.name; }
};

class FaultMatrix : public testing::TestWithParam<FaultKind> {};

TEST_P(FaultMatrix, EveryCallFailingInTurnLeavesRunAndUndoSound) {
    const auto replays = matrix::replayEveryCall(errc(GetParam().error));
    // At least the 39 registry rows, two backups, two rewrites and two
    // restores.
    EXPECT_GE(replays, 45u);
    RecordProperty("replays", static_cast<int>(replays));
    std::cout << "[ fault matrix ] " << replays << " replays, each call failing with "
              << GetParam().name << '\n';
}

INSTANTIATE_TEST_SUITE_P(
    Failures, FaultMatrix,
    testing::Values(FaultKind{"AccessDenied", std::errc::permission_denied},
                    FaultKind{"FileInUse", std::errc::device_or_resource_busy},
                    FaultKind{"NotFound", std::errc::no_such_file_or_directory}),
    [](const testing::TestParamInfo<FaultKind>& info) { return info.param.name; });

}  // namespace
}  // namespace tovask::test

namespace tovask::test {
namespace {

constexpr std::wstring_view kSearchUrl =
    L"HKCU\\Software\\Microsoft\\Internet Explorer\\SearchUrl\\";
constexpr std::wstring_view kSearchHooks =
    L"HKCU\\Software\\Microsoft\\Internet Explorer\\URLSearchHooks\\";
constexpr std::wstring_view kFileRoot = L"HKEY_CURRENT_USER";

// What a program running as the user can plant so that the backup cannot
// carry one entry, and the entry the report names.
struct PlantedEntry {
    std::string name;
    std::function<void(fake::FakePlatform&)> plant;
    std::wstring reported;

    friend void PrintTo(const PlantedEntry& entry, std::ostream* out) { *out << entry.name; }
};

std::wstring inFile(std::wstring_view key, std::wstring_view rest) {
    return std::wstring(kFileRoot) + std::wstring(key.substr(4)) + std::wstring(rest);
}

class PlantedEntryRun : public testing::TestWithParam<PlantedEntry> {};

TEST_P(PlantedEntryRun, SkipsOnlyTheRowsThatTouchIt) {
    RepairBench bench;
    matrix::prepareMachine(bench);
    GetParam().plant(bench.platform);
    const auto before = bench.platform.registry.state();
    bench.load();
    EXPECT_EQ(bench.check(), RunOutcome::DoneWithFailures);
    EXPECT_TRUE(reportsFailureOf(bench.view.lines, GetParam().reported));
    EXPECT_EQ(bench.press(), RunOutcome::DoneWithFailures);

    EXPECT_EQ(bench.errorLines().size(), 1u);
    EXPECT_TRUE(reportsFailureOf(bench.view.lines, GetParam().reported));
    EXPECT_TRUE(rowApplied(bench.platform.registry, kExpectedPlan[1], matrix::kTypedPage));
    bench.repair.undoChanges();
    EXPECT_TRUE(bench.platform.registry.state() == before);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, PlantedEntryRun,
    testing::Values(PlantedEntry{"UnreadableUnderSearchUrl",
                                 [](auto& platform) {
                                     platform.failWhere("RegReadTree", kSearchUrl,
                                                        errc(std::errc::permission_denied));
                                 },
                                 std::wstring(kSearchUrl)},
                    PlantedEntry{"UnreadableUnderSearchHooks",
                                 [](auto& platform) {
                                     platform.failWhere("RegReadTree", kSearchHooks,
                                                        errc(std::errc::permission_denied));
                                 },
                                 std::wstring(kSearchHooks)},
                    PlantedEntry{"ValueNameWithLineBreak",
                                 [](auto& platform) {
                                     platform.registry.writeRaw(kSearchUrl, L"a\r\nb",
                                                                stringValue(L"x"),
                                                                RegistryView::Default);
                                 },
                                 inFile(kSearchUrl, L"a??b")},
                    PlantedEntry{"KeyNameWithLineBreak",
                                 [](auto& platform) {
                                     platform.registry.createKey(std::wstring(kSearchHooks) +
                                                                 L"x\ny\\");
                                 },
                                 inFile(kSearchHooks, L"x?y")},
                    PlantedEntry{"MoreDataThanTheBackupHolds",
                                 [](auto& platform) {
                                     platform.registry.writeRaw(
                                         kSearchUrl, L"grande",
                                         {regtype::kBinary, std::vector<std::uint8_t>(3 << 20)},
                                         RegistryView::Default);
                                 },
                                 std::wstring(kSearchUrl)}),
    [](const testing::TestParamInfo<PlantedEntry>& info) { return info.param.name; });

}  // namespace
}  // namespace tovask::test
