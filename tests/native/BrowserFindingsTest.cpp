#include <algorithm>
#include <ostream>
#include <utility>

#include "repair/findings/ManagedMachine.h"
#include "repair/policies/PolicyLocks.h"
#include "tests/native/RepairFixture.h"

namespace tovask::test {
namespace {

constexpr std::wstring_view kChrome = L"HKLM\\Software\\Policies\\Google\\Chrome\\";
constexpr std::wstring_view kEdge = L"HKCU\\Software\\Policies\\Microsoft\\Edge\\";
constexpr std::wstring_view kFirefox = L"HKLM\\Software\\Policies\\Mozilla\\Firefox\\";
constexpr std::wstring_view kEnrollment =
    L"HKLM\\SOFTWARE\\Microsoft\\Enrollments\\{5F2E0A47-1B22-4C31-9D7A-0C1E2A3B4C5D}\\";
// A policy a parental control sets on purpose: never a lock.
const std::wstring kNotALock = std::wstring(kChrome) + L"IncognitoModeAvailability";

bool lineStartsWith(const std::vector<std::wstring>& lines, std::wstring_view start) {
    return std::ranges::any_of(lines,
                               [&](const std::wstring& line) { return line.starts_with(start); });
}

struct ManagedCase {
    std::string name;
    MachineJoinState join;
    std::vector<std::wstring_view> enrollmentValues;  // ProviderID, UPN as seeded
    bool managed;
    std::size_t reportOnly;
};

class ManagedDecision : public testing::TestWithParam<ManagedCase> {};

TEST_P(ManagedDecision, FromJoinAndEnrollment) {
    fake::FakePlatform platform;
    platform.machineJoin = GetParam().join;
    for (const auto name : GetParam().enrollmentValues) {
        platform.RegWrite(std::wstring(kEnrollment) + std::wstring(name), L"x",
                          RegistryType::String);
    }
    FailureLog failures(platform);
    const auto decision = decideManagedMachine(platform, failures);
    EXPECT_TRUE(failures.entries().empty());
    EXPECT_EQ(decision.managedBecause.has_value(), GetParam().managed);
    EXPECT_EQ(decision.fakeEnrollments.size(), GetParam().reportOnly);
    EXPECT_TRUE(std::ranges::none_of(decision.fakeEnrollments, &Finding::repairable));
}

INSTANTIATE_TEST_SUITE_P(
    Machines, ManagedDecision,
    testing::Values(ManagedCase{"HomeMachine", {}, {}, false, 0},
                    ManagedCase{"Domain", {true, false}, {}, true, 0},
                    ManagedCase{"CloudJoin", {false, true}, {}, true, 0},
                    ManagedCase{"RealEnrollment", {}, {L"ProviderID", L"UPN"}, true, 0},
                    ManagedCase{"FakeEnrollment", {}, {L"ProviderID"}, false, 1}),
    [](const testing::TestParamInfo<ManagedCase>& info) { return info.param.name; });

TEST(ManagedDecision, AJoinThatCannotBeToldCountsAsManaged) {
    fake::FakePlatform platform;
    platform.failWhere("MachineJoin", L"", errc(std::errc::permission_denied));
    FailureLog failures(platform);
    EXPECT_TRUE(decideManagedMachine(platform, failures).managedBecause.has_value());
}

struct SeededLock {
    std::wstring path;
    std::variant<std::wstring_view, std::int32_t> data;
};

struct LockCase {
    std::string name;
    std::vector<SeededLock> seeded;
    std::vector<SeededLock> left;  // what the repair leaves of the seeded values
};

class EachLock : public testing::TestWithParam<LockCase> {
  protected:
    void SetUp() override {
        bench.platform.registry.addKeysEveryWindowsHas();
        bench.platform.RegWrite(kNotALock, 1, RegistryType::Dword);
        for (const auto& seed : GetParam().seeded) {
            const auto type = std::holds_alternative<std::int32_t>(seed.data)
                                  ? RegistryType::Dword
                                  : RegistryType::String;
            ASSERT_FALSE(bench.platform.RegWrite(
                seed.path, std::visit([](auto d) { return RegistryData(d); }, seed.data), type));
        }
    }
    RunOutcome check(bool browsers) {
        bench.load();
        bench.view.repairFindings = browsers;
        return bench.repair.checkWhatNeedsRepair();
    }
    std::vector<std::wstring> policyValues() {
        std::vector<std::wstring> paths;
        for (const auto& [path, value] : bench.platform.registry.snapshot()) {
            if (path.find(L"\\policies\\") != std::wstring::npos &&
                path.find(L"internet explorer") == std::wstring::npos) {
                paths.push_back(path);
            }
        }
        return paths;
    }

    RepairBench bench;
};

TEST_P(EachLock, IsRemovedAloneAndTheCheckThenAgrees) {
    bench.press();  // repairs Internet Explorer only: the view says no
    ASSERT_EQ(check(false), RunOutcome::Done);
    ASSERT_EQ(check(true), RunOutcome::RepairNeeded);
    bench.view.repairFindings = true;
    bench.press();

    EXPECT_TRUE(lineStartsWith(bench.view.lines, L"Bloqueo quitado: "));
    EXPECT_TRUE(bench.platform.registry.value(kNotALock).has_value());
    for (const auto& seed : GetParam().seeded) {
        const bool kept = std::ranges::any_of(
            GetParam().left, [&](const SeededLock& left) { return left.path == seed.path; });
        EXPECT_EQ(bench.platform.registry.value(seed.path).has_value(), kept)
            << testing::PrintToString(seed.path);
    }
    EXPECT_EQ(check(true), RunOutcome::Done);
    EXPECT_EQ(bench.platform.policyRefreshes, 1);
}

TEST_P(EachLock, IsPutBackByTheUndo) {
    const auto before = bench.platform.registry.snapshot();
    bench.view.repairFindings = true;
    bench.press();
    bench.undo();
    EXPECT_EQ(bench.platform.registry.snapshot(), before);
}

TEST_P(EachLock, IsLeftWhenTheUserSaysNo) {
    const auto before = policyValues();
    bench.press();
    EXPECT_EQ(policyValues(), before);
    EXPECT_EQ(bench.view.questions.size(), 1u);
    EXPECT_TRUE(lineStartsWith(bench.view.lines, L"Bloqueo dejado: "));
}

TEST_P(EachLock, IsOnlyReportedOnAManagedMachine) {
    bench.platform.machineJoin.domainJoined = true;
    const auto before = policyValues();
    bench.view.repairFindings = true;
    bench.press();
    EXPECT_EQ(policyValues(), before);
    EXPECT_TRUE(bench.view.questions.empty());
    EXPECT_TRUE(lineStartsWith(bench.view.lines, L"El equipo pertenece a un dominio"));
    EXPECT_EQ(check(true), RunOutcome::Done);
}

const std::wstring kForcelist = std::wstring(kChrome) + L"ExtensionInstallForcelist\\";
const std::wstring kSettings = std::wstring(kChrome) + L"ExtensionSettings";

INSTANTIATE_TEST_SUITE_P(
    Locks, EachLock,
    testing::Values(LockCase{"StartPage",
                             {{std::wstring(kChrome) + L"HomepageLocation", L"http://x.example"}},
                             {}},
                    LockCase{"SearchInRecommended",
                             {{std::wstring(kEdge) + L"Recommended\\DefaultSearchProviderSearchURL",
                               L"http://buscar.example/?q={searchTerms}"}},
                             {}},
                    LockCase{"TrafficInBothValues",
                             {{std::wstring(kChrome) + L"ProxyMode", L"fixed_servers"},
                              {std::wstring(kChrome) + L"ProxyServer", L"10.6.6.6:8080"}},
                             {}},
                    LockCase{"ForcedExtensionListRenumbered",
                             {{kForcelist + L"1", L"aaaa;https://malo.example/update"},
                              {kForcelist + L"2", L"bbbb;https://malo.example/update"}},
                             {}},
                    LockCase{"ExtensionSettingsKeepsTheOrdinaryEntry",
                             {{kSettings,
                               LR"({"aaaa":{"installation_mode":"force_installed"},)"
                               LR"("bbbb":{"installation_mode":"allowed"}})"}},
                             {{kSettings, L""}}},
                    LockCase{"FirefoxHomepageSubtree",
                             {{std::wstring(kFirefox) + L"Homepage\\URL", L"http://x.example"},
                              {std::wstring(kFirefox) + L"Homepage\\Locked", 1}},
                             {}}),
    [](const testing::TestParamInfo<LockCase>& info) { return info.param.name; });

const std::wstring kPolicyFile = L"D:\\Firefox\\distribution\\policies.json";
const std::wstring kShortcut = L"C:\\Users\\Public\\Desktop\\Chrome.lnk";
const std::wstring kChromeExe = L"C:\\Program Files\\Google\\Chrome\\chrome.exe";
const std::wstring kScript =
    L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\AutoConfigURL";
const std::wstring kAdapters =
    L"HKLM\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\";
const std::pair<std::wstring_view, std::wstring_view> kPolicyLines{
    L"Bloqueo quitado: ", L"No se pudo quitar el bloqueo: "};
const std::pair<std::wstring_view, std::wstring_view> kNetworkLines{
    L"Ajuste de red reparado: ", L"No se pudo reparar el ajuste de red: "};

// One finding of a kind, the writes of its repair that fail (none where its
// names cannot be backed up), and how its lines begin: repaired, not repaired.
struct KindCase {
    std::string name;
    std::vector<std::pair<std::wstring, std::wstring>> values;
    std::vector<std::pair<std::wstring, std::string>> files;
    std::vector<std::string> writes;
    std::wstring target;  // the start of what each failed write names
    std::pair<std::wstring_view, std::wstring_view> lines;

    friend void PrintTo(const KindCase& kindCase, std::ostream* out) { *out << kindCase.name; }
};

class FailedRepair : public testing::TestWithParam<KindCase> {};

TEST_P(FailedRepair, ReportsTheFindingNotRepaired) {
    RepairBench bench;
    bench.platform.registry.addKeysEveryWindowsHas();
    for (const auto& [path, text] : GetParam().values) {
        bench.platform.RegWrite(path, text, RegistryType::String);
    }
    for (const auto& [path, bytes] : GetParam().files) {
        bench.platform.files.addFile(path, bytes);
    }
    for (const auto& write : GetParam().writes) {
        bench.platform.failWhere(write, GetParam().target, errc(std::errc::permission_denied));
    }
    bench.view.repairFindings = true;
    bench.load();
    EXPECT_EQ(bench.repair.VerificarNavegador(L"IEFrame"), RunOutcome::DoneWithFailures);
    EXPECT_FALSE(lineStartsWith(bench.view.lines, GetParam().lines.first));
    EXPECT_TRUE(lineStartsWith(bench.view.lines, GetParam().lines.second));
    EXPECT_TRUE(lineStartsWith(bench.view.lines, std::wstring(kErrorPrefix) + GetParam().target));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, FailedRepair,
    testing::Values(
        KindCase{"PolicyKey",
                 {{std::wstring(kChrome) + L"HomepageLocation", L"http://x.example"}},
                 {},
                 {"RegDeleteValueIn"},
                 std::wstring(kChrome),
                 kPolicyLines},
        KindCase{"PolicyFile",
                 {{L"HKLM\\SOFTWARE\\Mozilla\\Mozilla Firefox\\115.0\\Main\\Install Directory",
                   L"D:\\Firefox"}},
                 {{kPolicyFile, R"({"policies": {"Homepage": {"URL": "http://x.example"}}})"}},
                 {"ReplaceFileContent", "RewriteUnchangedFile"},
                 kPolicyFile,
                 kPolicyLines},
        KindCase{
            "Network", {{kScript, L"data:,x"}}, {}, {"RegDeleteValueIn"}, kScript, kNetworkLines},
        KindCase{"Shortcut",
                 {{L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell "
                   L"Folders\\Common Desktop",
                   L"C:\\Users\\Public\\Desktop"}},
                 {{kShortcut, fake::fakeShortcutBytes({kChromeExe, L"http://buscar.example",
                                                       L"C:\\", kChromeExe, 0, 0, 1, L"", L""})}},
                 {"RewriteUnchangedFile"},
                 kShortcut,
                 {L"Acceso directo reparado: ", L"No se pudo reparar el acceso directo: "}},
        KindCase{"PolicyKeyNotBackedUp",
                 {{std::wstring(kFirefox) + L"Homepage\\URL", L"http://x.example"},
                  {std::wstring(kFirefox) + L"Homepage\\a\nb\\c", L"1"}},
                 {},
                 {},
                 L"HKEY_LOCAL_MACHINE\\Software\\Policies\\Mozilla\\Firefox\\Homepage",
                 kPolicyLines},
        KindCase{"NetworkNotBackedUp",
                 {{kAdapters + L"{a\nb}\\NameServer", L"85.255.112.36"}},
                 {},
                 {},
                 L"HKEY_LOCAL_MACHINE" + kAdapters.substr(4),
                 kNetworkLines}),
    [](const testing::TestParamInfo<KindCase>& info) { return info.param.name; });

TEST(FindingLines, GroupedByBrowserThenCutWithHowManyMore) {
    const std::vector<Finding> findings = {{FindingKind::BrowserPolicy, L"Chrome", L"a", L"1"},
                                           {FindingKind::BrowserPolicy, L"Edge", L"b", L"2"},
                                           {FindingKind::BrowserPolicy, L"Chrome", L"c", L"3"}};
    EXPECT_EQ(findingLines(findings, 4),
              (std::vector<std::wstring>{L"Chrome:", L"  a = 1", L"  c = 3", L"Edge:",
                                         L"... y otros 1"}));
}

TEST(PolicyReach, TakesLockValuesAndListEntriesOnly) {
    const auto section = [](std::wstring key, std::wstring name) {
        return RegistryFileSection{std::move(key), false, {{std::move(name), std::nullopt}}};
    };
    const std::wstring chrome = L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Policies\\Google\\Chrome";
    EXPECT_TRUE(withinPolicyReach(section(chrome, L"HomepageLocation"), true));
    EXPECT_TRUE(withinPolicyReach(section(chrome + L"\\Recommended", L"ProxyMode"), true));
    EXPECT_TRUE(withinPolicyReach(section(chrome + L"\\ExtensionInstallForcelist", L"7"), true));
    EXPECT_FALSE(withinPolicyReach(section(chrome, L"IncognitoModeAvailability"), true));
    EXPECT_FALSE(withinPolicyReach(section(chrome + L"\\Other", L"1"), true));
    EXPECT_FALSE(withinPolicyReach(
        section(L"HKEY_USERS\\.DEFAULT\\Software\\Policies\\Google\\Chrome", L"ProxyMode"), true));
}

}  // namespace
}  // namespace tovask::test
