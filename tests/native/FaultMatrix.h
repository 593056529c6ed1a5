#pragma once

#include <algorithm>
#include <array>
#include <initializer_list>
#include <ranges>

#include "repair/backup/files/FileBackup.h"
#include "repair/hosts/HostsFiles.h"
#include "repair/plan/RegistryPlan.h"
#include "tests/native/RepairFixture.h"

// Replays a whole session (start-up, a repair run, an undo) once for every
// platform call it makes, with exactly that call failing, and checks after
// each replay what must hold whatever failed.
namespace tovask::test::matrix {

inline constexpr std::wstring_view kTypedPage = L"www.pagina.example";

enum class Phase { Load, Run, Undo };

// What a session looked like between its steps.
struct Session {
    std::size_t runStart = 0;
    std::size_t undoStart = 0;
    std::map<std::wstring, std::string> filesBefore;
    fake::FakeRegistry::State registryBefore;
    std::map<std::wstring, std::string> filesAfterRun;
    std::vector<std::wstring> linesAfterRun;
    std::size_t noticesAfterRun = 0;
    std::map<std::wstring, fake::StoredValue> registryAfterRun;
    fake::FakeRegistry::State registryStateAfterRun;
};

// A hijacked machine after an earlier repair: both HOSTS files, the system one
// protected, and protected backups left by that run.
inline void prepareMachine(RepairBench& bench) {
    bench.platform.registry.addKeysEveryWindowsHas();
    seedHijackedRegistry(bench.platform.registry);
    bench.addFiles({{kSystemHosts, kHijackedHosts, fake::kReadOnly | fake::kHidden | fake::kSystem},
                    {kWindowsHosts, kOtherHosts},
                    {kSystemBackup, kEarlierBackup, fake::kReadOnly},
                    {kWindowsBackup, kEarlierBackup, fake::kHidden}});
    bench.view.page = kTypedPage;
}

inline Session playSession(RepairBench& bench) {
    Session session;
    session.filesBefore = bench.fileContents();
    session.registryBefore = bench.platform.registry.state();
    bench.load();
    session.runStart = bench.platform.calls.size();
    bench.press();
    session.undoStart = bench.platform.calls.size();
    session.filesAfterRun = bench.fileContents();
    session.linesAfterRun = bench.view.lines;
    session.noticesAfterRun = bench.view.notices.size();
    session.registryAfterRun = bench.platform.registry.snapshot();
    session.registryStateAfterRun = bench.platform.registry.state();
    bench.undo();
    return session;
}

struct FailedCall {
    fake::RecordedCall call;
    std::size_t index;
    Phase phase;
    std::error_code error;
    // Made once the run's changes are done, for its own set of backups.
    bool forTheRunsSet = false;

    bool is(std::string_view operation) const { return call.operation == operation; }
    bool isAnyOf(std::initializer_list<std::string_view> operations) const {
        return std::ranges::any_of(operations, [&](auto operation) { return is(operation); });
    }
    bool readsHostsFolder() const { return call.target == kHostsFolderStep.path; }
    // A registry read before the run, which the backup depends on.
    bool isBackupRead() const {
        return phase == Phase::Run && !forTheRunsSet && !readsHostsFolder() &&
               isAnyOf({"RegReadValue", "RegKeyExists", "RegReadTree"});
    }
    // What the error line of a failed call names.
    std::wstring reportedTarget() const {
        return is("FlushDnsCache") ? std::wstring(L"caché de resolución DNS") : call.target;
    }
    // Without its registry backup, a run changes nothing in the registry.
    bool stopsBackup() const {
        return phase == Phase::Load ||
               (phase == Phase::Run && is("ReplaceFileContent") && call.target == kRegistryBackup);
    }
    // An entry the backup cannot read skips only the rows that touch it.
    bool skipsItsRows() const { return isBackupRead() && !isNotFound(error); }
    bool isRegistryRestore() const {
        return phase == Phase::Undo && isAnyOf({"RegDeleteIn", "RegCreateKeyIn", "RegWriteRaw",
                                                "RegDeleteValueIn", "RegReadTree"});
    }
    // Without knowing whom it runs as, the undo cannot reach this user's
    // settings through the user's own hive: they are reported as not restored.
    bool hidesOwnUser() const { return phase == Phase::Undo && is("ProgramUserSid"); }
    // Without knowing whether the last run backed up files, the undo says so.
    bool hidesFileBackups() const {
        return phase == Phase::Undo && is("FileExists") && !isNotFound(error) &&
               call.target.ends_with(kFileManifestName) &&
               containsIgnoringCase(call.target, kFileBackupFolderName);
    }
    // The undo came through but cannot record that the runs it undid are undone.
    bool marksRunUndone() const {
        return phase == Phase::Undo && is("ReplaceFileContent") &&
               call.target.ends_with(kRunUndoneName);
    }
    // "Not found" from a read or a delete of what exists cannot happen; a
    // backup or restore misled by it is not held to the round trip.
    // A removal told that what it takes is gone drops it from the backup.
    bool misleads() const {
        return isNotFound(error) &&
               (isBackupRead() ||
                (isRegistryRestore() &&
                 isAnyOf({"RegDeleteIn", "RegDeleteValueIn", "RegReadTree"})) ||
                (phase == Phase::Run && isAnyOf({"RegRemoveKeyAsRead", "RegRemoveValueAsRead"})));
    }
    // A call that changes the machine, whose failure the user must be told of.
    bool mustBeReported() const {
        return is("RegWrite") || (is("RegWriteRaw") && phase == Phase::Run) ||
               (readsHostsFolder() && !isNotFound(error)) || is("CopyFileOver") ||
               is("ReplaceFileContent") || is("FlushDnsCache") ||
               (isAnyOf({"RegRemoveKeyAsRead", "RegRemoveValueAsRead"}) && !isNotFound(error));
    }
};

inline constexpr std::array<std::array<std::wstring_view, 2>, 2> kPairs = {
    {{kSystemHosts, kSystemBackup}, {kWindowsHosts, kWindowsBackup}}};

// Every value that differs between the two lies in the key of the path or below it.
inline testing::AssertionResult differsOnlyBelow(
    const std::map<std::wstring, fake::StoredValue>& actual,
    const std::map<std::wstring, fake::StoredValue>& expected, std::wstring_view path) {
    const auto afterRoot = path.substr(path.find(L'\\') + 1);
    const auto key = foldedCase(afterRoot.substr(0, afterRoot.rfind(L'\\') + 1));
    const auto below = [&](const std::wstring& id) {
        return std::wstring_view(id).substr(id.find(L'\\') + 1).starts_with(key);
    };
    for (const auto* values : {&actual, &expected}) {
        for (const auto& [id, value] : *values) {
            const auto& other = values == &actual ? expected : actual;
            const auto found = other.find(id);
            if ((found == other.end() || !(found->second == value)) && !below(id)) {
                return testing::AssertionFailure() << testing::PrintToString(id) << " differs";
            }
        }
    }
    return testing::AssertionSuccess();
}

inline void checkRun(const RepairBench& bench, const Session& session, const FailedCall& failed,
                     const std::map<std::wstring, fake::StoredValue>& cleanRegistry) {
    const auto& lines = session.linesAfterRun;
    if (failed.phase == Phase::Run && failed.is("AcquireRepairLock")) {
        // Another repair holds the machine: nothing at all is done.
        EXPECT_TRUE(lines.empty());
        EXPECT_TRUE(session.registryStateAfterRun == session.registryBefore);
        EXPECT_EQ(session.filesAfterRun, session.filesBefore);
        ASSERT_EQ(session.noticesAfterRun, 1u);
        EXPECT_EQ(bench.view.notices.front().title, L"Aviso");
        return;
    }
    const auto progress = progressLinesFor(kTypedPage);
    ASSERT_GE(lines.size(), progress.size());
    EXPECT_TRUE(std::equal(progress.begin(), progress.end(), lines.begin()));
    const std::size_t errors = lines.size() - progress.size();
    EXPECT_TRUE(std::all_of(lines.begin() + 6, lines.end(),
                            [](const auto& line) { return line.starts_with(kErrorPrefix); }));

    ASSERT_EQ(session.noticesAfterRun, 1u);
    const auto& notice = bench.view.notices.front();
    EXPECT_EQ(notice.title, kFinished);
    EXPECT_EQ(promptOf(notice),
              errors == 0 ? std::wstring(kRepairSucceeded) : repairFailedPrompt(errors));
    EXPECT_EQ(notice.kind, errors == 0 ? NoticeKind::Information : NoticeKind::Warning);

    for (const auto& [hosts, backup] : kPairs) {
        const auto& before = session.filesBefore.at(std::wstring(hosts));
        const auto& after = session.filesAfterRun.at(std::wstring(hosts));
        EXPECT_TRUE(after == before || after == defaultHostsContent())
            << testing::PrintToString(std::wstring(hosts)) << " holds neither";
        if (after != before) {
            EXPECT_EQ(session.filesAfterRun.at(std::wstring(backup)), before);
        }
        // A HOSTS file left unrepaired is a failure the user must be told of;
        // without its folder the run cannot even name it.
        if (after != defaultHostsContent() && failed.phase != Phase::Load) {
            EXPECT_TRUE(reportsFailureOf(lines, hosts))
                << testing::PrintToString(std::wstring(hosts)) << " left unrepaired silently";
        }
    }
    if (failed.phase == Phase::Load) {
        EXPECT_GE(errors, 1u);
    }
    // Nothing created, nothing left behind: the same four files.
    EXPECT_TRUE(std::ranges::equal(std::views::keys(session.filesAfterRun),
                                   std::views::keys(session.filesBefore)));

    if (failed.phase == Phase::Run && failed.mustBeReported()) {
        EXPECT_TRUE(reportsFailureOf(lines, failed.reportedTarget()))
            << testing::PrintToString(lines);
    }
    if (failed.skipsItsRows()) {
        EXPECT_TRUE(reportsFailureOf(lines, failed.call.target)) << testing::PrintToString(lines);
        EXPECT_TRUE(differsOnlyBelow(session.registryAfterRun, cleanRegistry, failed.call.target));
    } else if (failed.stopsBackup()) {
        EXPECT_TRUE(session.registryStateAfterRun == session.registryBefore);
        EXPECT_TRUE(std::ranges::any_of(lines, [](const std::wstring& line) {
            return line.starts_with(kErrorPrefix) &&
                   line.find(L"BackupRegistro.reg (") != std::wstring::npos;
        })) << testing::PrintToString(lines);
    } else if (!failed.isAnyOf(
                   {"RegWrite", "RegWriteRaw", "RegRemoveKeyAsRead", "RegRemoveValueAsRead"})) {
        EXPECT_TRUE(session.registryAfterRun == cleanRegistry);
    }
}

inline void checkUndo(const RepairBench& bench, const Session& session, const FailedCall& failed) {
    const auto& platform = bench.platform;
    const auto files = bench.fileContents();
    if (failed.phase == Phase::Undo && failed.is("AcquireRepairLock")) {
        EXPECT_EQ(bench.view.lines, session.linesAfterRun);
        EXPECT_EQ(files, session.filesAfterRun);
        EXPECT_TRUE(platform.registry.state() == session.registryStateAfterRun);
        EXPECT_EQ(bench.view.notices.back().title, L"Aviso");
        return;
    }
    const bool stopped = bench.view.notices.size() > session.noticesAfterRun &&
                         bench.view.notices.back().title == L"Error";
    if (stopped) {
        // Stopped exactly at the failing step: the release of the lock is the
        // only call after it, but for the flush of the resolver cache when a
        // HOSTS file was put back before it; then the error notice is shown,
        // and the report of the run is still on screen.
        EXPECT_TRUE(failed.phase != Phase::Run);
        const std::size_t from = failed.phase == Phase::Load ? session.undoStart : failed.index + 1;
        std::vector<std::string> after;
        for (std::size_t i = from; i < platform.calls.size(); ++i) {
            after.push_back(platform.calls[i].operation);
        }
        std::erase(after, "AcquireRepairLock");
        if (!after.empty() && after.front() == "FlushDnsCache") {
            after.erase(after.begin());
        }
        EXPECT_EQ(after, (std::vector<std::string>{"ReleaseRepairLock"}));
        EXPECT_FALSE(bench.view.shownUnderLock.back());
        EXPECT_EQ(bench.view.notices.back().kind, NoticeKind::Error);
        const auto& prompt = promptOf(bench.view.notices.back());
        EXPECT_TRUE(
            prompt.find(L"drivers\\etc\\hosts") != std::wstring::npos ||
            (failed.is("ReadFileContent") && prompt.find(kRegistryBackup) != std::wstring::npos))
            << testing::PrintToString(prompt);
        // Stopped before the listing, the run's report is still on screen.
        EXPECT_TRUE(bench.view.lines == session.linesAfterRun ||
                    (!bench.view.lines.empty() && bench.view.lines.front() == kUndoListed))
            << testing::PrintToString(bench.view.lines);
        for (const auto& [hosts, backup] : kPairs) {
            const auto& now = files.at(std::wstring(hosts));
            EXPECT_TRUE(now == session.filesAfterRun.at(std::wstring(hosts)) ||
                        now == session.filesAfterRun.at(std::wstring(backup)));
        }
        return;
    }
    EXPECT_TRUE(failed.phase != Phase::Load);
    // A failed registry entry is reported and the others are still restored.
    const bool entryFailed = (failed.isRegistryRestore() && !failed.misleads()) ||
                             (failed.phase == Phase::Undo && failed.is("FlushDnsCache")) ||
                             failed.hidesOwnUser() || failed.hidesFileBackups() ||
                             failed.marksRunUndone();
    // What came back, each thing a line, then the failure if one.
    auto cameBack = linesFromDone(bench.view.lines);
    ASSERT_FALSE(cameBack.empty()) << testing::PrintToString(bench.view.lines);
    EXPECT_EQ(cameBack.front(), kUndoDone);
    if (entryFailed) {
        EXPECT_TRUE(cameBack.back().starts_with(kErrorPrefix));
        cameBack.pop_back();
    }
    EXPECT_TRUE(std::all_of(cameBack.begin() + 1, cameBack.end(), [](const std::wstring& line) {
        return line.starts_with(kPutBackPrefix);
    })) << testing::PrintToString(cameBack);
    if (entryFailed) {
        EXPECT_TRUE(lastNoticeIs(bench.view,
                                 L"Cambios deshechos con errores. Operaciones fallidas: 1",
                                 NoticeKind::Warning, kFinished));
    } else {
        EXPECT_TRUE(lastNoticeIs(bench.view, kFinished, NoticeKind::Information, kFinished));
    }
    // Whatever failed in the run, the undo puts the registry back as it was.
    const bool backupUnread = failed.phase == Phase::Undo && failed.is("ReadFileContent");
    if (!failed.isRegistryRestore() && !failed.misleads() && !backupUnread &&
        !failed.hidesOwnUser()) {
        EXPECT_TRUE(platform.registry.state() == session.registryBefore);
    }
    for (const auto& [hosts, backup] : kPairs) {
        EXPECT_EQ(files.at(std::wstring(hosts)), session.filesAfterRun.at(std::wstring(backup)));
        EXPECT_EQ(files.at(std::wstring(backup)), session.filesAfterRun.at(std::wstring(backup)));
    }
}

inline void replayWithCallFailing(const FailedCall& failed,
                                  const std::map<std::wstring, fake::StoredValue>& cleanRegistry) {
    SCOPED_TRACE(testing::Message() << "call " << failed.index << " " << failed.call.operation
                                    << " " << testing::PrintToString(failed.call.target)
                                    << " fails with " << failed.error.message());
    RepairBench bench;
    prepareMachine(bench);
    bench.platform.failCallAt(failed.index, failed.error);
    const auto session = playSession(bench);

    // Everything before the failing call went as in the clean session.
    ASSERT_GT(bench.platform.calls.size(), failed.index);
    ASSERT_EQ(bench.platform.calls[failed.index].operation, failed.call.operation);
    ASSERT_EQ(bench.platform.calls[failed.index].target, failed.call.target);
    checkRun(bench, session, failed, cleanRegistry);
    checkUndo(bench, session, failed);
}

// Returns the number of replays made.
inline std::size_t replayEveryCall(std::error_code error) {
    RepairBench clean;
    prepareMachine(clean);
    const auto cleanSession = playSession(clean);
    const auto& cleanCalls = clean.platform.calls;
    // The run's set of backups begins with the time that names it.
    const auto setStart = static_cast<std::size_t>(
        std::find_if(
            cleanCalls.begin() + static_cast<std::ptrdiff_t>(cleanSession.runStart),
            cleanCalls.end(),
            [](const fake::RecordedCall& call) { return call.operation == "LocalTimeNow"; }) -
        cleanCalls.begin());
    for (std::size_t index = 0; index < cleanCalls.size(); ++index) {
        const Phase phase = index < cleanSession.runStart    ? Phase::Load
                            : index < cleanSession.undoStart ? Phase::Run
                                                             : Phase::Undo;
        replayWithCallFailing({cleanCalls[index], index, phase, error, index >= setStart},
                              cleanSession.registryAfterRun);
    }
    return cleanCalls.size();
}

}  // namespace tovask::test::matrix
