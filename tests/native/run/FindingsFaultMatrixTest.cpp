// Replays a run that finds, backs up, repairs and undoes one finding of each
// kind, once for every platform call it makes with exactly that call failing.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>

#include "tests/native/PublishedRoot.h"
#include "tests/native/RepairFixture.h"

namespace tovask::test {
namespace {

const std::wstring kPolicyValue = L"HKLM\\Software\\Policies\\Google\\Chrome\\HomepageLocation";
const std::wstring kScriptValue =
    L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\AutoConfigURL";
const std::wstring kPolicyFile = L"D:\\Firefox\\distribution\\policies.json";
const std::wstring kShortcut = L"C:\\Users\\Public\\Desktop\\Chrome.lnk";
const std::wstring kChromeExe = L"C:\\Program Files\\Google\\Chrome\\chrome.exe";
const std::wstring kPublishedRoot =
    L"HKLM\\SOFTWARE\\Microsoft\\SystemCertificates\\ROOT\\Certificates\\"
    L"C864484869D41D2B0D32319C5A62F9315AAF2CBD\\";

// A finding of each kind, on a machine whose Internet Explorer settings an
// earlier run repaired, so that the replayed run changes only the findings.
void seedOneFindingOfEachKind(RepairBench& bench) {
    auto& platform = bench.platform;
    platform.registry.addKeysEveryWindowsHas();
    bench.press();
    platform.RegWrite(kPolicyValue, L"http://buscar.example", RegistryType::String);
    platform.RegWrite(kScriptValue, L"data:,x", RegistryType::String);
    platform.RegWrite(L"HKLM\\SOFTWARE\\Mozilla\\Mozilla Firefox\\115.0\\Main\\Install Directory",
                      L"D:\\Firefox", RegistryType::String);
    platform.RegWrite(
        L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell "
        L"Folders\\Common Desktop",
        L"C:\\Users\\Public\\Desktop", RegistryType::String);
    platform.files.addFile(kPolicyFile,
                           R"({"policies": {"Homepage": {"URL": "http://buscar.example"}}})");
    platform.files.addFile(kShortcut,
                           fake::fakeShortcutBytes({kChromeExe, L"http://buscar.example", L"C:\\",
                                                    kChromeExe, 0, 0, 1, L"", L""}));
    platform.registry.writeRaw(kPublishedRoot, L"Blob", publishedRootBlob(), RegistryView::Default);
    platform.calls.clear();
    bench.view.lines.clear();
    bench.view.notices.clear();
    bench.view.repairFindings = true;
}

// Where each kind's finding lives, and how its report line starts once
// repaired, or once removed while a local policy file that could not be read
// may put it back.
struct FindingPlace {
    std::wstring_view repairedLine;
    std::wstring_view putBackLine;
    std::function<std::optional<std::string>(const RepairBench&)> state;
};

std::optional<std::string> valueAt(const RepairBench& bench, const std::wstring& path) {
    const auto value = bench.platform.registry.value(path);
    return value ? std::optional(testing::PrintToString(*value)) : std::nullopt;
}

const FindingPlace kPlaces[] = {
    {L"Bloqueo quitado: HKEY_LOCAL_MACHINE",
     L"Bloqueo que vuelve a poner una directiva local: HKEY_LOCAL_MACHINE",
     [](const RepairBench& bench) { return valueAt(bench, kPolicyValue); }},
    {L"Bloqueo quitado: D:\\",
     {},
     [](const RepairBench& bench) { return bench.bytesOf(kPolicyFile); }},
    {L"Ajuste de red reparado: ",
     {},
     [](const RepairBench& bench) { return valueAt(bench, kScriptValue); }},
    {L"Acceso directo reparado: ",
     {},
     [](const RepairBench& bench) { return bench.bytesOf(kShortcut); }},
    {L"Certificado quitado: ",
     {},
     [](const RepairBench& bench) { return valueAt(bench, kPublishedRoot + L"Blob"); }},
};

std::vector<std::optional<std::string>> statesOf(const RepairBench& bench) {
    std::vector<std::optional<std::string>> states;
    for (const auto& place : kPlaces) {
        states.push_back(place.state(bench));
    }
    return states;
}

bool anyLineStartsWith(const std::vector<std::wstring>& lines, std::wstring_view start) {
    return std::ranges::any_of(lines,
                               [&](const std::wstring& line) { return line.starts_with(start); });
}

// The calls that change the machine: a failure of any of them is an error
// line that names what it was changing.
bool changesTheMachine(std::string_view operation) {
    constexpr std::string_view kChanges[] = {
        "RegWriteRaw",          "RegDeleteValueIn",   "RegDeleteIn",          "RegRemoveKeyAsRead",
        "RegRemoveValueAsRead", "ReplaceFileContent", "RewriteUnchangedFile", "CopyFileOver"};
    return std::ranges::find(kChanges, operation) != std::end(kChanges);
}

struct Replay {
    std::vector<std::optional<std::string>> before;
    std::vector<std::optional<std::string>> afterRun;
    std::vector<std::wstring> runLines;
    std::size_t undoStart = 0;
    std::vector<std::optional<std::string>> afterUndo;
};

Replay replay(RepairBench& bench) {
    Replay replay{statesOf(bench), {}, {}, 0, {}};
    bench.press();
    replay.afterRun = statesOf(bench);
    replay.runLines = bench.view.lines;
    replay.undoStart = bench.platform.calls.size();
    bench.undo();
    replay.afterUndo = statesOf(bench);
    return replay;
}

TEST(FindingsFaultMatrix, EveryCallFailingInTurnLeavesEachFindingReportedAndUndoable) {
    RepairBench clean;
    seedOneFindingOfEachKind(clean);
    const auto cleanReplay = replay(clean);
    ASSERT_NE(cleanReplay.afterRun, cleanReplay.before);
    const auto cleanCalls = clean.platform.calls;
    for (std::size_t index = 0; index < cleanCalls.size(); ++index) {
        const auto& call = cleanCalls[index];
        SCOPED_TRACE(testing::Message() << "call " << index << " " << call.operation << " "
                                        << testing::PrintToString(call.target));
        RepairBench bench;
        seedOneFindingOfEachKind(bench);
        bench.platform.failCallAt(index, errc(std::errc::permission_denied));
        const auto failed = replay(bench);
        const bool inRun = index < cleanReplay.undoStart;

        // Each finding's line says what became of it; one put back comes with
        // the failure that left its policy file unread.
        for (std::size_t place = 0; place < std::size(kPlaces); ++place) {
            const auto& where = kPlaces[place];
            const bool changed = failed.afterRun[place] != failed.before[place];
            const bool putBack =
                !where.putBackLine.empty() && anyLineStartsWith(failed.runLines, where.putBackLine);
            EXPECT_EQ(anyLineStartsWith(failed.runLines, where.repairedLine) || putBack, changed)
                << testing::PrintToString(where.repairedLine);
            EXPECT_TRUE(!putBack || anyLineStartsWith(failed.runLines, kErrorPrefix));
        }
        if (inRun && changesTheMachine(call.operation)) {
            EXPECT_TRUE(reportsFailureOf(failed.runLines, call.target))
                << testing::PrintToString(failed.runLines);
        }
        // Whatever failed in the run, the undo puts every finding back; a
        // failure of its own that keeps one away is told.
        if (inRun) {
            EXPECT_EQ(failed.afterUndo, failed.before) << testing::PrintToString(bench.view.lines);
        } else if (failed.afterUndo != failed.before) {
            EXPECT_NE(bench.view.notices.back().kind, NoticeKind::Information)
                << testing::PrintToString(bench.view.lines);
        }
    }
    std::cout << "[ findings fault matrix ] " << cleanCalls.size() << " replays\n";
}

}  // namespace
}  // namespace tovask::test
