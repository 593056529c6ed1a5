#include <algorithm>

#include "repair/hosts/HostsFiles.h"
#include "tests/native/RepairFixture.h"

namespace tovask::test {
namespace {

const std::string kClean(defaultHostsContent());
const std::vector<std::wstring> kEarlierReport = {L"Finalizado:", L"informe anterior"};

struct UndoCase {
    std::string name;
    std::vector<SeededFile> before;
    std::map<std::wstring, std::string> after;

    friend void PrintTo(const UndoCase& undo, std::ostream* out) { *out << undo.name; }
};

class UndoRestores : public testing::TestWithParam<UndoCase> {};

TEST_P(UndoRestores, EachBackupOntoItsOwnHostsFileAndReportsDone) {
    RepairBench bench;
    bench.addFiles(GetParam().before);
    bench.view.lines = kEarlierReport;
    bench.view.page = L"www.pagina.example";
    // The undo does not look for the browser.
    bench.platform.openWindowClasses = {L"IEFrame"};
    bench.undo();

    EXPECT_EQ(bench.fileContents(), GetParam().after);
    for (const auto& [path, file] : bench.platform.files.files()) {
        EXPECT_EQ(file.attributes, 0u) << testing::PrintToString(path);
    }
    EXPECT_EQ(bench.view.lines, std::vector<std::wstring>{std::wstring(kUndoDone)});
    EXPECT_EQ(bench.view.notices.size(), 1u);
    EXPECT_TRUE(lastNoticeIs(bench.view, kFinished, NoticeKind::Information, kFinished));
    EXPECT_EQ(bench.view.page, L"www.pagina.example");
    EXPECT_TRUE(std::ranges::none_of(bench.platform.calls, [](const fake::RecordedCall& call) {
        return call.operation.starts_with("Reg") || call.operation == "FindWindowA";
    }));
}

INSTANTIATE_TEST_SUITE_P(
    Files, UndoRestores,
    testing::Values(
        UndoCase{"SystemPair",
                 {{kSystemHosts, kClean}, {kSystemBackup, kHijackedHosts}},
                 {{std::wstring(kSystemHosts), kHijackedHosts},
                  {std::wstring(kSystemBackup), kHijackedHosts}}},
        UndoCase{"MissingHostsFileIsCreated",
                 {{kSystemBackup, kHijackedHosts}},
                 {{std::wstring(kSystemHosts), kHijackedHosts},
                  {std::wstring(kSystemBackup), kHijackedHosts}}},
        UndoCase{"ProtectedHostsFile",
                 {{kSystemHosts, kClean, fake::kReadOnly | fake::kHidden | fake::kSystem},
                  {kSystemBackup, kHijackedHosts}},
                 {{std::wstring(kSystemHosts), kHijackedHosts},
                  {std::wstring(kSystemBackup), kHijackedHosts}}},
        UndoCase{"BothPairs",
                 {{kSystemHosts, kClean},
                  {kWindowsHosts, kClean},
                  {kSystemBackup, kHijackedHosts},
                  {kWindowsBackup, kOtherHosts}},
                 {{std::wstring(kSystemHosts), kHijackedHosts},
                  {std::wstring(kWindowsHosts), kOtherHosts},
                  {std::wstring(kSystemBackup), kHijackedHosts},
                  {std::wstring(kWindowsBackup), kOtherHosts}}},
        UndoCase{"OnlyWindowsPairHasABackup",
                 {{kSystemHosts, kClean}, {kWindowsHosts, kClean}, {kWindowsBackup, kOtherHosts}},
                 {{std::wstring(kSystemHosts), kClean},
                  {std::wstring(kWindowsHosts), kOtherHosts},
                  {std::wstring(kWindowsBackup), kOtherHosts}}},
        UndoCase{"NoBackup", {{kSystemHosts, kClean}}, {{std::wstring(kSystemHosts), kClean}}},
        UndoCase{"NoFilesAtAll", {}, {}}),
    [](const testing::TestParamInfo<UndoCase>& info) { return info.param.name; });

TEST(Undo, AfterTwoRunsRestoresTheContentFromBeforeTheFirst) {
    RepairBench bench;
    bench.addFiles({{kSystemHosts, kHijackedHosts, fake::kReadOnly}});
    bench.press();
    bench.press();
    bench.undo();
    EXPECT_EQ(bench.bytesOf(kSystemHosts), kHijackedHosts);
    EXPECT_EQ(bench.bytesOf(kSystemBackup), kHijackedHosts);
}

TEST(Undo, SecondUndoGivesTheSameFiles) {
    RepairBench bench;
    bench.addFiles({{kSystemHosts, kHijackedHosts}, {kWindowsHosts, kOtherHosts}});
    bench.press();
    bench.undo();
    const auto afterFirst = bench.fileContents();
    bench.undo();

    EXPECT_EQ(bench.fileContents(), afterFirst);
    EXPECT_EQ(afterFirst.at(std::wstring(kSystemHosts)), kHijackedHosts);
    EXPECT_EQ(afterFirst.at(std::wstring(kWindowsHosts)), kOtherHosts);
    EXPECT_EQ(bench.view.lines, std::vector<std::wstring>{std::wstring(kUndoDone)});
    EXPECT_TRUE(lastNoticeIs(bench.view, kFinished, NoticeKind::Information, kFinished));
}

testing::AssertionResult undoFailedOn(const RepairBench& bench, std::wstring_view hosts) {
    if (bench.view.notices.size() != 1) {
        return testing::AssertionFailure() << bench.view.notices.size() << " notices";
    }
    const auto& message = bench.view.notices.back();
    if (message.title != L"Error" || message.kind != NoticeKind::Error ||
        promptOf(message).find(hosts) == std::wstring::npos) {
        return testing::AssertionFailure() << "message " << testing::PrintToString(message.title)
                                           << " / " << testing::PrintToString(promptOf(message));
    }
    return testing::AssertionSuccess();
}

TEST(Undo, LockedHostsFileStopsTheUndoThere) {
    RepairBench bench;
    bench.addFiles({{kSystemHosts, kClean},
                    {kWindowsHosts, kClean},
                    {kSystemBackup, kHijackedHosts},
                    {kWindowsBackup, kOtherHosts}});
    bench.platform.files.lock(kSystemHosts);
    bench.view.lines = kEarlierReport;
    bench.undo();

    EXPECT_TRUE(undoFailedOn(bench, kSystemHosts));
    EXPECT_EQ(bench.view.lines, kEarlierReport);
    EXPECT_EQ(bench.bytesOf(kSystemHosts), kClean);
    EXPECT_EQ(bench.bytesOf(kWindowsHosts), kClean);
    EXPECT_TRUE(std::ranges::none_of(bench.platform.calls, [](const fake::RecordedCall& call) {
        return call.target == kWindowsBackup || call.target == kWindowsHosts;
    }));
}

class FolderUnavailable : public testing::TestWithParam<std::wstring_view> {};

TEST_P(FolderUnavailable, RunReportsTheHostsStepsAndUndoTouchesNoFile) {
    RepairBench bench;
    bench.addFiles({{kSystemHosts, kHijackedHosts}, {kSystemBackup, kEarlierBackup}});
    bench.platform.failWhere("GetSpecialFolder", GetParam(), errc(std::errc::permission_denied));
    const auto filesBefore = bench.fileContents();

    bench.press();
    const auto failures = bench.errorLines().size();
    EXPECT_GE(failures, 1u);
    EXPECT_TRUE(reportsRun(bench, ForumSiteUrl, failures));
    const auto reportOfRun = bench.view.lines;

    bench.undo();
    EXPECT_EQ(bench.fileContents(), filesBefore);
    EXPECT_EQ(bench.view.lines, reportOfRun);
    ASSERT_EQ(bench.view.notices.size(), 2u);
    EXPECT_EQ(bench.view.notices.back().title, L"Error");
    EXPECT_EQ(bench.view.notices.back().kind, NoticeKind::Error);
    EXPECT_TRUE(std::ranges::none_of(bench.platform.calls, [](const fake::RecordedCall& call) {
        return call.operation.find("File") != std::string::npos ||
               call.operation == "ClearAttributes";
    }));
}

INSTANTIATE_TEST_SUITE_P(WindowsAndSystem, FolderUnavailable, testing::Values(L"0", L"1"));

}  // namespace
}  // namespace tovask::test
