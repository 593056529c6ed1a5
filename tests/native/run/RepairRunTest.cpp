#include "Version.h"
#include "tests/native/RepairFixture.h"

namespace tovask::test {
namespace {

std::wstring userStartPage(const fake::FakePlatform& platform) {
    return std::get<std::wstring>(platform.registry.value(kUserStartPage).value().data);
}

TEST(BrowserCheck, OpenBrowserWindowOnlyShowsTheWarning) {
    RepairBench bench;
    seedHijackedRegistry(bench.platform.registry);
    bench.addFiles({{kSystemHosts, kHijackedHosts}});
    bench.view.lines = {L"Finalizado:", L"informe anterior"};
    bench.view.page = L"www.pagina.example";
    bench.platform.openWindowClasses = {L"IEFrame"};
    const auto registryBefore = bench.platform.registry.snapshot();
    const auto filesBefore = bench.fileContents();
    bench.load();
    bench.platform.calls.clear();

    bench.press();

    // Nothing but the look for the window under the repair lock, and the
    // warning once the lock is released.
    std::vector<std::string> operations;
    for (const auto& call : bench.platform.calls) {
        operations.push_back(call.operation);
    }
    EXPECT_EQ(operations,
              (std::vector<std::string>{"AcquireRepairLock", "FindWindowA", "ReleaseRepairLock"}));
    EXPECT_EQ(bench.view.shownUnderLock, std::vector<bool>{false});
    ASSERT_EQ(bench.platform.calls.size(), 3u);
    EXPECT_EQ(bench.platform.calls[1].target, L"IEFrame");
    EXPECT_EQ(bench.view.notices.size(), 1u);
    EXPECT_TRUE(lastNoticeIs(bench.view,
                             L"Por favor cierre el navegador Internet Explorer y vuelva a "
                             L"ejecutar Tovask " TOVASK_VERSION_TEXT,
                             NoticeKind::Information, L"Aviso"));
    EXPECT_EQ(bench.view.lines, (std::vector<std::wstring>{L"Finalizado:", L"informe anterior"}));
    EXPECT_EQ(bench.view.page, L"www.pagina.example");
    EXPECT_EQ(bench.platform.registry.snapshot(), registryBefore);
    EXPECT_EQ(bench.fileContents(), filesBefore);
}

TEST(BrowserCheck, WindowsOfOtherClassesDoNotStopTheRun) {
    RepairBench bench;
    bench.platform.openWindowClasses = {L"CabinetWClass", L"Notepad"};
    bench.press();
    EXPECT_TRUE(reportsRun(bench, ForumSiteUrl, 0));
}

struct ReportCase {
    std::wstring_view typed;
    std::wstring_view reported;
};

class RunReport : public testing::TestWithParam<ReportCase> {};

// On an empty registry every delete finds nothing, which is no failure.
TEST_P(RunReport, ReplacesTheEarlierReportAndEmptiesTheBox) {
    RepairBench bench;
    bench.view.lines = {L"informe anterior"};
    bench.view.page = GetParam().typed;
    bench.press();
    EXPECT_TRUE(reportsRun(bench, GetParam().reported, 0));
    EXPECT_EQ(bench.view.notices.size(), 1u);
    EXPECT_EQ(bench.view.page, L"");
}

INSTANTIATE_TEST_SUITE_P(StartPage, RunReport,
                         testing::Values(ReportCase{L"", ForumSiteUrl},
                                         ReportCase{L"www.pagina.example", L"www.pagina.example"}));

TEST(RepairRun, SecondRunWithoutNewInputFallsBackToTheForumSite) {
    RepairBench bench;
    bench.view.page = L"http://mi.pagina.example/";
    bench.press();
    EXPECT_TRUE(reportsRun(bench, L"http://mi.pagina.example/", 0));
    EXPECT_EQ(userStartPage(bench.platform), L"http://mi.pagina.example/");

    bench.press();
    EXPECT_TRUE(reportsRun(bench, ForumSiteUrl, 0));
    EXPECT_EQ(userStartPage(bench.platform), ForumSiteUrl);
}

TEST(RepairRun, RegistryAndReportAgreeOnTheStartPage) {
    RepairBench bench;
    bench.view.page = L"pagina1.example";
    bench.press();

    ASSERT_EQ(bench.view.lines.size(), 6u);
    EXPECT_EQ(bench.view.lines[5], std::wstring(kStartPagePrefix) + userStartPage(bench.platform));
}

class RunMessage : public testing::TestWithParam<bool> {};

TEST_P(RunMessage, IsShownOnlyOnceTheReportIsComplete) {
    RepairBench bench;
    bench.view.page = L"www.pagina.example";
    if (GetParam()) {
        for (const auto operation : {"RegWrite", "RegWriteRaw"}) {
            bench.platform.failWhere(operation, L"HKLM\\", errc(std::errc::permission_denied));
        }
    }
    std::vector<std::wstring> listAtMessage;
    std::wstring boxAtMessage = L"sin leer";
    bench.view.onNotice = [&](const Notice&) {
        listAtMessage = bench.view.lines;
        boxAtMessage = bench.view.page;
    };
    bench.press();
    EXPECT_EQ(listAtMessage, bench.view.lines);
    EXPECT_EQ(boxAtMessage, L"");
}

INSTANTIATE_TEST_SUITE_P(SuccessAndFailures, RunMessage, testing::Bool());

class EachRowFailing : public testing::TestWithParam<std::size_t> {};

TEST_P(EachRowFailing, LeavesTheOtherRowsAppliedAndReportsThatRowOnly) {
    const auto& failing = kExpectedPlan[GetParam()];
    RepairBench bench;
    seedHijackedRegistry(bench.platform.registry);
    bench.failExactly(operationOf(failing), failing.path, errc(std::errc::permission_denied));
    bench.press();

    for (const auto& row : kExpectedPlan) {
        if (&row == &failing) {
            EXPECT_TRUE(rowUntouched(bench.platform.registry, row));
        } else {
            EXPECT_TRUE(rowApplied(bench.platform.registry, row, ForumSiteUrl));
        }
    }
    ASSERT_TRUE(reportsRun(bench, ForumSiteUrl, 1));
    EXPECT_TRUE(bench.errorLines()[0].starts_with(errorLineStart(failing.path)))
        << testing::PrintToString(bench.errorLines()[0]);
}

INSTANTIATE_TEST_SUITE_P(Plan, EachRowFailing, testing::Range<std::size_t>(0, 39));

// A user without administrator rights: nothing machine-wide can change.
TEST(RepairRun, WithoutMachineRightsUserRowsApplyAndEveryRefusalIsReported) {
    RepairBench bench;
    seedHijackedRegistry(bench.platform.registry);
    bench.addFiles({{kSystemHosts, kHijackedHosts}});
    const auto denied = errc(std::errc::permission_denied);
    for (const auto operation :
         {"RegWrite", "RegWriteRaw", "RegRemoveKeyAsRead", "RegRemoveValueAsRead"}) {
        bench.platform.failWhere(operation, L"HKLM\\", denied);
    }
    bench.platform.failWhere("CopyFileOver", kSystemBackup, denied);
    bench.platform.failWhere("ReplaceFileContent", kSystemHosts, denied);
    bench.press();

    std::vector<std::wstring> expectedStarts;
    for (const auto& row : kExpectedPlan) {
        if (isMachineWide(row)) {
            EXPECT_TRUE(rowUntouched(bench.platform.registry, row));
            expectedStarts.push_back(errorLineStart(row.path));
        } else {
            EXPECT_TRUE(rowApplied(bench.platform.registry, row, ForumSiteUrl));
        }
    }
    EXPECT_EQ(expectedStarts.size(), 22u);
    expectedStarts.push_back(errorLineStart(kSystemBackup));
    expectedStarts.push_back(errorLineStart(kSystemHosts));
    ASSERT_TRUE(reportsRun(bench, ForumSiteUrl, expectedStarts.size()));
    const auto errors = bench.errorLines();
    for (std::size_t i = 0; i < errors.size(); ++i) {
        EXPECT_TRUE(errors[i].starts_with(expectedStarts[i])) << testing::PrintToString(errors[i]);
    }
    EXPECT_EQ(bench.bytesOf(kSystemHosts), kHijackedHosts);
}

}  // namespace
}  // namespace tovask::test
