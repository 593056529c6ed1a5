#include <algorithm>

#include "repair/hosts/HostsFiles.h"
#include "tests/native/RepairFixture.h"

namespace tovask::test {
namespace {

const std::string kClean(defaultHostsContent());
const std::vector<std::wstring> kEarlierReport = {L"Finalizado:", L"informe anterior"};

const std::wstring kCopyDate = L" (copia del 7 de marzo de 2026 a las 09:05)";

std::wstring hostsListed(std::wstring_view hosts) {
    return L"Archivo Hosts: " + std::wstring(hosts) + kCopyDate;
}

std::wstring hostsPutBack(std::wstring_view hosts) {
    return std::wstring(kPutBackPrefix) + L"Archivo Hosts: " + std::wstring(hosts);
}

struct UndoCase {
    std::string name;
    std::vector<SeededFile> before;
    std::map<std::wstring, std::string> after;
    std::vector<std::wstring_view> putBack;

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
    std::vector<std::wstring> listed{std::wstring(kUndoListed)};
    std::vector<std::wstring> cameBack{std::wstring(kUndoDone)};
    for (const auto hosts : GetParam().putBack) {
        listed.push_back(hostsListed(hosts));
        cameBack.push_back(hostsPutBack(hosts));
    }
    listed.insert(listed.end(), cameBack.begin(), cameBack.end());
    EXPECT_EQ(bench.view.lines, listed);
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
                  {std::wstring(kSystemBackup), kHijackedHosts}},
                 {kSystemHosts}},
        UndoCase{"MissingHostsFileIsCreated",
                 {{kSystemBackup, kHijackedHosts}},
                 {{std::wstring(kSystemHosts), kHijackedHosts},
                  {std::wstring(kSystemBackup), kHijackedHosts}},
                 {kSystemHosts}},
        UndoCase{"ProtectedHostsFile",
                 {{kSystemHosts, kClean, fake::kReadOnly | fake::kHidden | fake::kSystem},
                  {kSystemBackup, kHijackedHosts}},
                 {{std::wstring(kSystemHosts), kHijackedHosts},
                  {std::wstring(kSystemBackup), kHijackedHosts}},
                 {kSystemHosts}},
        UndoCase{"BothPairs",
                 {{kSystemHosts, kClean},
                  {kWindowsHosts, kClean},
                  {kSystemBackup, kHijackedHosts},
                  {kWindowsBackup, kOtherHosts}},
                 {{std::wstring(kSystemHosts), kHijackedHosts},
                  {std::wstring(kWindowsHosts), kOtherHosts},
                  {std::wstring(kSystemBackup), kHijackedHosts},
                  {std::wstring(kWindowsBackup), kOtherHosts}},
                 {kSystemHosts, kWindowsHosts}},
        UndoCase{"OnlyWindowsPairHasABackup",
                 {{kSystemHosts, kClean}, {kWindowsHosts, kClean}, {kWindowsBackup, kOtherHosts}},
                 {{std::wstring(kSystemHosts), kClean},
                  {std::wstring(kWindowsHosts), kOtherHosts},
                  {std::wstring(kWindowsBackup), kOtherHosts}},
                 {kWindowsHosts}}),
    [](const testing::TestParamInfo<UndoCase>& info) { return info.param.name; });

class NothingToUndo : public testing::TestWithParam<UndoCase> {};

TEST_P(NothingToUndo, ChangesNothingAndSaysSoInTheListAndTheNotice) {
    RepairBench bench;
    bench.addFiles(GetParam().before);
    bench.view.lines = kEarlierReport;
    bench.load();

    EXPECT_EQ(bench.repair.undoChanges(), RunOutcome::NothingToUndo);
    EXPECT_EQ(bench.fileContents(), GetParam().after);
    EXPECT_EQ(bench.view.lines, std::vector<std::wstring>{L"No hay cambios que deshacer."});
    EXPECT_TRUE(lastNoticeIs(bench.view, L"No hay cambios que deshacer.", NoticeKind::Information,
                             L"Deshacer los cambios"));
    EXPECT_TRUE(bench.view.confirmations.empty());
    EXPECT_TRUE(std::ranges::none_of(bench.platform.calls, [](const fake::RecordedCall& call) {
        return fake::effectOf(call.operation) == fake::CallEffect::Changes;
    }));
}

INSTANTIATE_TEST_SUITE_P(
    Files, NothingToUndo,
    testing::Values(
        UndoCase{"NoBackup", {{kSystemHosts, kClean}}, {{std::wstring(kSystemHosts), kClean}}, {}},
        UndoCase{"NoFilesAtAll", {}, {}, {}}),
    [](const testing::TestParamInfo<UndoCase>& info) { return info.param.name; });

TEST(Undo, AnsweredNoChangesNothingAndTheListSaysSo) {
    RepairBench bench;
    bench.addFiles({{kSystemHosts, kHijackedHosts}});
    bench.press();
    const auto registry = bench.platform.registry.state();
    const auto files = bench.fileContents();
    const auto notices = bench.view.notices.size();
    bench.view.goOn = false;
    bench.undo();

    EXPECT_TRUE(bench.platform.registry.state() == registry);
    EXPECT_EQ(bench.fileContents(), files);
    ASSERT_EQ(bench.view.confirmations.size(), 1u);
    const auto& question = bench.view.confirmations[0];
    EXPECT_EQ(question.title, L"Deshacer los cambios");
    auto listed = question.lines;
    ASSERT_FALSE(listed.empty());
    EXPECT_EQ(listed.back(), L"¿Desea deshacer estos cambios?");
    listed.back() = L"No se ha deshecho nada: no se ha cambiado nada.";
    EXPECT_EQ(bench.view.lines, listed);
    EXPECT_EQ(bench.view.notices.size(), notices);
}

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
    const auto cameBack = linesFromDone(bench.view.lines);
    EXPECT_TRUE(lastNoticeIs(bench.view, kFinished, NoticeKind::Information, kFinished));
    bench.undo();

    EXPECT_EQ(bench.fileContents(), afterFirst);
    EXPECT_EQ(afterFirst.at(std::wstring(kSystemHosts)), kHijackedHosts);
    EXPECT_EQ(afterFirst.at(std::wstring(kWindowsHosts)), kOtherHosts);
    ASSERT_GE(cameBack.size(), 3u);
    EXPECT_EQ(cameBack.front(), kUndoDone);
    EXPECT_EQ(std::vector(cameBack.end() - 2, cameBack.end()),
              (std::vector<std::wstring>{hostsPutBack(kSystemHosts), hostsPutBack(kWindowsHosts)}));
    // The run's set says it was undone: the second undo finds nothing left.
    EXPECT_EQ(bench.view.lines.back(), texts::kNothingToUndo);
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
    EXPECT_EQ(bench.view.lines,
              (std::vector<std::wstring>{std::wstring(kUndoListed), hostsListed(kSystemHosts),
                                         hostsListed(kWindowsHosts)}));
    EXPECT_EQ(bench.bytesOf(kSystemHosts), kClean);
    EXPECT_EQ(bench.bytesOf(kWindowsHosts), kClean);
    EXPECT_TRUE(std::ranges::none_of(bench.platform.calls, [](const fake::RecordedCall& call) {
        return fake::effectOf(call.operation) != fake::CallEffect::Reads &&
               (call.target == kWindowsBackup || call.target == kWindowsHosts);
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
