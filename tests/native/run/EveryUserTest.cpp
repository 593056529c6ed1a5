#include "repair/users/UserHives.h"
#include "tests/native/FaultMatrix.h"
#include "text/RegistryEncoding.h"
#include "text/Utf16.h"

namespace tovask::test {
namespace {

constexpr std::wstring_view kLoggedOn = L"S-1-5-21-11-22-33-1001";
constexpr std::wstring_view kAway = L"S-1-5-21-11-22-33-1002";
constexpr std::wstring_view kDamaged = L"S-1-5-21-11-22-33-1003";
constexpr std::wstring_view kStartPage =
    L"\\Software\\Microsoft\\Internet Explorer\\Main\\Start Page";

std::wstring hive(std::wstring_view sid) {
    return L"HKU\\" + std::wstring(sid);
}

void addProfile(fake::FakePlatform& platform, std::wstring_view sid, std::wstring_view folder) {
    auto path = stringValue(folder);
    path.type = regtype::kExpandString;
    platform.registry.writeRaw(std::wstring(kProfileListKey) + std::wstring(sid) + L"\\",
                               L"ProfileImagePath", path, RegistryView::Default);
}

// A machine with a logged-on user, a user whose hive is only a file, a
// profile whose hive will not load, and the service accounts and classes
// hives that are never a user's.
void prepareUsers(RepairBench& bench) {
    auto& platform = bench.platform;
    matrix::prepareMachine(bench);
    for (const auto sid : {kLoggedOn, kAway}) {
        platform.registry.addKeysEveryWindowsHas(hive(sid));
        platform.registry.write(hive(sid) + std::wstring(kStartPage), L"http://secuestro.example",
                                RegistryType::String);
    }
    platform.registry.createKey(hive(kLoggedOn) + L"_Classes\\Software\\");
    platform.registry.createKey(L"HKU\\S-1-5-18\\Software\\");
    platform.registry.createKey(L"HKU\\.DEFAULT\\Software\\");
    platform.parkHive(kAway, L"C:\\WINDOWS\\..\\Users\\lejos\\NTUSER.DAT");
    addProfile(platform, kLoggedOn, L"C:\\Users\\sentado");
    addProfile(platform, kAway, L"%SystemRoot%\\..\\Users\\lejos");
    addProfile(platform, kDamaged, L"C:\\Users\\roto");
    addProfile(platform, L"S-1-5-18", L"%SystemRoot%\\system32\\config\\systemprofile");
    bench.everyUser = true;
}

std::optional<std::wstring> startPageOf(const fake::FakePlatform& platform, std::wstring_view sid) {
    const auto stored = platform.registry.value(hive(sid) + std::wstring(kStartPage));
    return stored ? std::optional(std::get<std::wstring>(stored->data)) : std::nullopt;
}

TEST(EveryUser, ProfilesAreFoundLoadedAndUnloadedAndServiceAccountsSkipped) {
    RepairBench bench;
    prepareUsers(bench);
    fake::FakePlatform& platform = bench.platform;
    bench.load();
    FailureLog failures(platform);
    std::vector<std::wstring> sids;
    {
        const UserHives hives(platform, failures);
        for (const auto& user : hives.hives()) {
            sids.push_back(user.sid);
        }
        EXPECT_EQ(platform.mountedFiles.size(), 1u);
    }
    EXPECT_TRUE(platform.mountedFiles.empty()) << "every hive loaded here is unloaded again";
    EXPECT_EQ(sids, (std::vector<std::wstring>{std::wstring(kLoggedOn), std::wstring(kAway)}));
    ASSERT_EQ(failures.entries().size(), 1u);
    EXPECT_EQ(failures.entries()[0].target, L"C:\\Users\\roto");
}

TEST(EveryUser, RunRepairsEveryUserNamesThemBySidAndTheUndoPutsThemBack) {
    RepairBench bench;
    prepareUsers(bench);
    const auto before = bench.platform.registry.state();
    const auto awayBefore = bench.platform.hiveFiles;
    bench.press();

    EXPECT_EQ(startPageOf(bench.platform, kLoggedOn), matrix::kTypedPage);
    EXPECT_FALSE(startPageOf(bench.platform, kAway)) << "unloaded again after the run";
    EXPECT_TRUE(bench.platform.mountedFiles.empty());
    EXPECT_TRUE(reportsFailureOf(bench.view.lines, L"C:\\Users\\roto"));
    const auto backup = bench.platform.files.file(kRegistryBackup)->bytes;
    EXPECT_NE(backup.find(toUtf16LeBytes(L"[HKEY_USERS\\" + std::wstring(kAway))),
              std::string::npos);
    EXPECT_EQ(backup.find(toUtf16LeBytes(L"Tovask_")), std::string::npos);

    bench.undo();
    EXPECT_TRUE(bench.platform.registry.state() == before);
    EXPECT_TRUE(bench.platform.hiveFiles == awayBefore);
    EXPECT_TRUE(bench.platform.mountedFiles.empty());
}

TEST(EveryUser, BackupNamesTheProgramsOwnUserSoAnotherAdministratorsUndoLeavesTheirs) {
    RepairBench bench;
    matrix::prepareMachine(bench);
    const std::wstring firstUser = bench.platform.programUserSid;
    const auto hijackedPage = bench.platform.registry.value(L"HKCU" + std::wstring(kStartPage));
    bench.press();
    const auto backup = bench.platform.files.file(kRegistryBackup)->bytes;
    EXPECT_EQ(backup.find(toUtf16LeBytes(L"HKEY_CURRENT_USER")), std::string::npos);

    bench.platform.programUserSid = L"S-1-5-21-11-22-33-2000";
    bench.platform.registry.addKeysEveryWindowsHas(hive(firstUser));
    const auto secondUsersPage = bench.platform.registry.value(L"HKCU" + std::wstring(kStartPage));
    bench.undo();
    EXPECT_EQ(bench.platform.registry.value(L"HKCU" + std::wstring(kStartPage)), secondUsersPage);
    EXPECT_EQ(startPageOf(bench.platform, firstUser), std::get<std::wstring>(hijackedPage->data));
}

TEST(EveryUser, HiveIsUnloadedEvenWhenItsRepairFails) {
    RepairBench bench;
    prepareUsers(bench);
    bench.platform.failWhere("RegWrite", L"HKU\\Tovask_", errc(std::errc::permission_denied));
    bench.press();
    EXPECT_TRUE(bench.platform.mountedFiles.empty());
    EXPECT_EQ(startPageOf(bench.platform, kLoggedOn), matrix::kTypedPage);
}

TEST(EveryUser, HiveLeftLoadedByAnEarlierRunIsUnloadedBeforeTheRun) {
    RepairBench bench;
    prepareUsers(bench);
    bench.platform.LoadUserHive(L"Tovask_" + std::wstring(kAway),
                                L"C:\\WINDOWS\\..\\Users\\lejos\\NTUSER.DAT");
    bench.press();
    EXPECT_TRUE(bench.platform.mountedFiles.empty());
    EXPECT_EQ(bench.errorLines().size(), 1u) << "only the damaged profile";
}

TEST(EveryUser, HiveThatStaysInUseIsTriedAgainThenReported) {
    RepairBench bench;
    prepareUsers(bench);
    bench.platform.failWhere("UnloadUserHive", L"Tovask_",
                             errc(std::errc::device_or_resource_busy));
    bench.press();
    EXPECT_GT(
        std::ranges::count(bench.platform.calls, "UnloadUserHive", &fake::RecordedCall::operation),
        1);
    EXPECT_GT(bench.platform.paused, std::chrono::milliseconds::zero());
    EXPECT_TRUE(reportsFailureOf(bench.view.lines, L"HKU\\Tovask_" + std::wstring(kAway)));
}

TEST(EveryUser, BrowserOfAnyLoggedOnUserRefusesTheRun) {
    RepairBench bench;
    prepareUsers(bench);
    bench.platform.processes = {{L"explorer.exe", L"VM\\ana"}, {L"iexplore.exe", L"VM\\luis"}};
    const auto before = bench.platform.registry.state();
    EXPECT_EQ(bench.press(), RunOutcome::BrowserOpen);
    EXPECT_TRUE(bench.platform.registry.state() == before);
    EXPECT_NE(promptOf(bench.view.notices.back()).find(L"VM\\luis"), std::wstring::npos);
}

// A fact of the machine that a run asks of the system, and whether its
// failure is an error line naming it.
struct RunFact {
    const char* name;
    std::string_view operation;
    std::wstring target;
    bool reported;

    friend void PrintTo(const RunFact& fact, std::ostream* out) { *out << fact.name; }
};

const RunFact kRunFacts[] = {
    {"FixedDrive", "IsLocalFixedDrive", L"C", false},
    {"MachineJoin", "MachineJoin", L"", false},
    {"ProfileFolder", "RegReadValue",
     std::wstring(kProfileListKey) + std::wstring(kLoggedOn) + L"\\ProfileImagePath", true},
    {"ShellFolder", "RegReadValue",
     L"HKU\\Tovask_" + std::wstring(kAway) +
         L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders\\AppData",
     true},
};

class RunFactAsked : public testing::TestWithParam<RunFact> {};

// A check and then a repair: each asks once, and the repair asks again what
// failed in the check, so that nothing the check saw is taken for settled.
TEST_P(RunFactAsked, OnceARunAndAgainByTheNextEvenAfterAFailure) {
    const auto& fact = GetParam();
    RepairBench bench;
    prepareUsers(bench);
    bool failed = false;
    bench.platform.addFault(
        [&](const fake::RecordedCall& call, std::size_t) -> std::optional<std::error_code> {
            const bool first =
                !failed && call.operation == fact.operation && call.target == fact.target;
            failed = failed || first;
            return first ? std::optional(errc(std::errc::io_error)) : std::nullopt;
        });
    bench.load();
    for (const bool isCheck : {true, false}) {
        const auto from = bench.platform.calls.size();
        isCheck ? bench.check() : bench.press();
        EXPECT_EQ(std::ranges::count_if(bench.platform.calls | std::views::drop(from),
                                        [&](const fake::RecordedCall& call) {
                                            return call.operation == fact.operation &&
                                                   call.target == fact.target;
                                        }),
                  1);
        EXPECT_EQ(std::ranges::count_if(bench.errorLines(),
                                        [&](const std::wstring& line) {
                                            return line.starts_with(errorLineStart(fact.target));
                                        }),
                  isCheck && fact.reported ? 1 : 0);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryUser, RunFactAsked, testing::ValuesIn(kRunFacts),
                         [](const auto& info) { return info.param.name; });

TEST(RepairLock, AnotherRepairRunningChangesNothing) {
    RepairBench bench;
    matrix::prepareMachine(bench);
    bench.platform.lockHeldElsewhere = true;
    // A check of every user loads their hives, which only a holder of the lock may.
    bench.everyUser = true;
    const auto before = bench.platform.registry.state();
    bench.load();
    EXPECT_EQ(bench.press(), RunOutcome::AnotherRepairRunning);
    EXPECT_EQ(bench.repair.undoChanges(), RunOutcome::AnotherRepairRunning);
    EXPECT_EQ(bench.check(), RunOutcome::AnotherRepairRunning);
    EXPECT_TRUE(bench.platform.registry.state() == before);
    EXPECT_TRUE(lastNoticeIs(bench.view,
                             L"Otra reparación está en curso en este equipo. Vuelva a intentarlo "
                             L"cuando termine.",
                             NoticeKind::Warning, L"Aviso"));
}

TEST(Check, ListsWhatARunWouldChangeAndChangesNothing) {
    RepairBench bench;
    matrix::prepareMachine(bench);
    bench.load();
    const auto before = bench.platform.registry.state();
    const auto files = bench.fileContents();
    EXPECT_EQ(bench.check(), RunOutcome::RepairNeeded);
    EXPECT_TRUE(bench.platform.registry.state() == before);
    EXPECT_EQ(bench.fileContents(), files);
    // Each of the HOSTS file's two entries that send a name elsewhere.
    EXPECT_EQ(std::ranges::count_if(bench.view.lines,
                                    [](const std::wstring& line) {
                                        return line.starts_with(L"Por reparar: " +
                                                                std::wstring(kSystemHosts) + L": ");
                                    }),
              2);

    bench.view.page = L"";
    bench.press();
    EXPECT_EQ(bench.check(), RunOutcome::Done);
    EXPECT_EQ(bench.view.lines, std::vector<std::wstring>{L"Nada que reparar."});
}

TEST(Check, ComparesWithTheRepairOfTheSameStartPage) {
    RepairBench bench;
    matrix::prepareMachine(bench);
    bench.press();
    bench.view.page = matrix::kTypedPage;
    EXPECT_EQ(bench.check(), RunOutcome::Done);
    bench.view.page = L"";
    EXPECT_EQ(bench.check(), RunOutcome::RepairNeeded);
}

}  // namespace
}  // namespace tovask::test
