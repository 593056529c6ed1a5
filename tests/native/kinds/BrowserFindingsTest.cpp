#include <algorithm>
#include <ostream>
#include <utility>

#include "repair/allow/AllowListSources.h"
#include "repair/findings/FindingWords.h"
#include "repair/findings/ManagedMachine.h"
#include "repair/policies/PolicyLocks.h"
#include "tests/native/RepairFixture.h"
#include "text/Utf16.h"

namespace tovask::test {
namespace {

constexpr std::wstring_view kChrome = L"HKLM\\Software\\Policies\\Google\\Chrome\\";
constexpr std::wstring_view kEdge = L"HKCU\\Software\\Policies\\Microsoft\\Edge\\";
constexpr std::wstring_view kFirefox = L"HKLM\\Software\\Policies\\Mozilla\\Firefox\\";
constexpr std::wstring_view kEnrollment =
    L"HKLM\\SOFTWARE\\Microsoft\\Enrollments\\{5F2E0A47-1B22-4C31-9D7A-0C1E2A3B4C5D}\\";
constexpr std::wstring_view kManagementAccount =
    L"HKLM\\SOFTWARE\\Microsoft\\Provisioning\\OMADM\\Accounts\\"
    L"{5F2E0A47-1B22-4C31-9D7A-0C1E2A3B4C5D}\\";
// A policy a parental control sets on purpose: never a lock.
const std::wstring kNotALock = std::wstring(kChrome) + L"IncognitoModeAvailability";

bool lineStartsWith(const std::vector<std::wstring>& lines, std::wstring_view start) {
    return std::ranges::any_of(lines,
                               [&](const std::wstring& line) { return line.starts_with(start); });
}

const std::wstring kThumbprint(40, L'a');

// An enrollment as device management writes it, each row taking one proof away.
struct ManagedCase {
    std::string name;
    MachineJoinState join;
    std::vector<std::pair<std::wstring_view, std::variant<std::wstring_view, std::int32_t>>>
        enrollment;
    bool account;                       // its management account
    std::wstring_view certificateUser;  // where its keyed certificate is: "" machine, "-" nowhere
    bool managed;
    std::size_t reportOnly;
};

const std::vector<std::pair<std::wstring_view, std::variant<std::wstring_view, std::int32_t>>>
    kEnrolled = {{L"ProviderID", L"MS DM Server"},
                 {L"UPN", L"ana@example.org"},
                 {L"EnrollmentState", 1},
                 {L"EnrollmentType", 6},
                 {L"DMPCertThumbPrint", kThumbprint},
                 {L"SID", L"S-1-5-21-7-7-7-1001"}};

std::vector<std::pair<std::wstring_view, std::variant<std::wstring_view, std::int32_t>>>
enrolledBut(std::wstring_view name, std::variant<std::wstring_view, std::int32_t> data) {
    auto values = kEnrolled;
    std::ranges::find(values, name, [](const auto& value) { return value.first; })->second = data;
    return values;
}

class ManagedDecision : public testing::TestWithParam<ManagedCase> {};

TEST_P(ManagedDecision, FromJoinAndCheckedEnrollment) {
    fake::FakePlatform platform;
    platform.machineJoin = GetParam().join;
    for (const auto& [name, data] : GetParam().enrollment) {
        platform.RegWrite(std::wstring(kEnrollment) + std::wstring(name), data,
                          std::holds_alternative<std::int32_t>(data) ? RegistryType::Dword
                                                                     : RegistryType::String);
    }
    if (GetParam().account) {
        platform.registry.createKey(kManagementAccount, RegistryView::Default);
    }
    if (GetParam().certificateUser != L"-") {
        platform.keyedCertificates.insert(
            {std::wstring(GetParam().certificateUser), std::wstring(40, L'A')});
    }
    FailureLog failures(platform);
    const auto decision = decideManagedMachine(platform, failures);
    EXPECT_TRUE(failures.entries().empty());
    EXPECT_EQ(decision.managedBecause.has_value(), GetParam().managed);
    EXPECT_EQ(decision.unverifiedEnrollments.size(), GetParam().reportOnly);
    EXPECT_TRUE(std::ranges::none_of(decision.unverifiedEnrollments, &Finding::repairable));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Machines, ManagedDecision,
    testing::Values(ManagedCase{"HomeMachine", {}, {}, false, L"-", false, 0},
                    ManagedCase{"Domain", {true, false}, {}, false, L"-", true, 0},
                    ManagedCase{"CloudJoin", {false, true}, {}, false, L"-", true, 0},
                    ManagedCase{"CheckedEnrollment", {}, kEnrolled, true, L"", true, 0},
                    ManagedCase{"CertificateOfTheEnrolledUser", {}, kEnrolled, true, L"S-1-5-21-7-7-7-1001", true, 0},
                    ManagedCase{"TwoStrings", {}, {{L"ProviderID", L"x"}, {L"UPN", L"x"}}, true, L"", false, 1},
                    ManagedCase{"NotEnrolled", {}, enrolledBut(L"EnrollmentState", 0), true, L"", false, 1},
                    ManagedCase{"NoManagementType", {}, enrolledBut(L"EnrollmentType", 0), true, L"", false, 1},
                    ManagedCase{"ThumbprintNotHex", {}, enrolledBut(L"DMPCertThumbPrint", L"zz"), true, L"", false, 1},
                    ManagedCase{"NoManagementAccount", {}, kEnrolled, false, L"", false, 1},
                    ManagedCase{"NoCertificateWithKey", {}, kEnrolled, true, L"-", false, 1},
                    ManagedCase{"CertificateOfAnotherUser", {}, kEnrolled, true, L"S-1-5-21-9-9-9-1002", false, 1}),
    [](const testing::TestParamInfo<ManagedCase>& info) { return info.param.name; });
// clang-format on

TEST(ManagedDecision, AJoinThatCannotBeToldCountsAsManaged) {
    fake::FakePlatform platform;
    platform.failWhere("MachineJoin", L"", errc(std::errc::permission_denied));
    FailureLog failures(platform);
    EXPECT_TRUE(decideManagedMachine(platform, failures).managedBecause.has_value());
}

TEST(ManagedDecision, EnrollmentsThatCannotBeReadAreAFailureNotManagement) {
    fake::FakePlatform platform;
    platform.failWhere("RegReadTree", L"HKLM\\SOFTWARE\\Microsoft\\Enrollments\\",
                       errc(std::errc::permission_denied));
    FailureLog failures(platform);
    EXPECT_FALSE(decideManagedMachine(platform, failures).managedBecause.has_value());
    EXPECT_EQ(failures.entries().size(), 1u);
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
        return bench.check();
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

// Windows keeps one copy of HKLM\Software\Policies for both views.
TEST(SharedPolicyKey, MachinePolicyIsListedBackedUpAndRepairedOnce) {
    RepairBench bench;
    bench.platform.registry.twoViews = true;
    bench.platform.registry.addKeysEveryWindowsHas();
    const auto homepage = std::wstring(kChrome) + L"HomepageLocation";
    const std::wstring controlPanel =
        L"HKLM\\Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel\\HomePage";
    ASSERT_FALSE(bench.platform.RegWrite(homepage, L"http://x.example", RegistryType::String));
    ASSERT_FALSE(bench.platform.RegWrite(controlPanel, 1, RegistryType::Dword));
    bench.load();
    bench.view.repairFindings = true;
    ASSERT_EQ(bench.check(), RunOutcome::RepairNeeded);
    const auto listing = [&](std::wstring_view part) {
        return std::ranges::count_if(bench.view.lines, [&](const std::wstring& line) {
            return line.find(part) != std::wstring::npos;
        });
    };
    EXPECT_EQ(listing(L"Google\\Chrome"), 1);
    EXPECT_EQ(listing(L"Internet Explorer\\Control Panel"), 1);
    EXPECT_EQ(listing(L"WOW6432Node\\Policies"), 0);

    bench.press();
    const auto backup = fromUtf16LeBytes(bench.bytesOf(kRegistryBackup).value().substr(2));
    ASSERT_TRUE(backup.ok());
    EXPECT_EQ(backup.value().find(L"WOW6432Node\\Policies"), std::wstring::npos);
    EXPECT_NE(backup.value().find(L"Policies\\Google\\Chrome"), std::wstring::npos);
    EXPECT_FALSE(bench.platform.registry.value(homepage));
    EXPECT_EQ(bench.check(), RunOutcome::Done);
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
                    LockCase{"ForcedExtensionListInOneValue",
                             {{std::wstring(kChrome) + L"ExtensionInstallForcelist",
                               LR"(["aaaa;https://malo.example/update",])"}},
                             {}},
                    LockCase{"ExtensionSettingsKeepsTheOrdinaryEntry",
                             {{kSettings,
                               LR"({"aaaa":{"installation_mode":"force_installed"},)"
                               LR"("bbbb":{"installation_mode":"allowed"}})"}},
                             {{kSettings, L""}}},
                    LockCase{"YandexStartPageOfAUser",
                             {{L"HKCU\\Software\\Policies\\YandexBrowser\\HomepageLocation",
                               L"http://x.example"}},
                             {}},
                    LockCase{"StartPageBesideSecureDnsToAnUnknownResolver",
                             {{std::wstring(kChrome) + L"HomepageLocation", L"http://x.example"},
                              {std::wstring(kChrome) + L"DnsOverHttpsMode", L"secure"},
                              {std::wstring(kChrome) + L"DnsOverHttpsTemplates",
                               L"https://doh.ofertas.example/dns-query{?dns}"}},
                             {{std::wstring(kChrome) + L"DnsOverHttpsMode", L""},
                              {std::wstring(kChrome) + L"DnsOverHttpsTemplates", L""}}},
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
    EXPECT_EQ(bench.press(), RunOutcome::DoneWithFailures);
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
                 {"RegRemoveValueAsRead"},
                 std::wstring(kChrome),
                 kPolicyLines},
        KindCase{"PolicyFile",
                 {{L"HKLM\\SOFTWARE\\Mozilla\\Mozilla Firefox\\115.0\\Main\\Install Directory",
                   L"D:\\Firefox"}},
                 {{kPolicyFile, R"({"policies": {"Homepage": {"URL": "http://x.example"}}})"}},
                 {"ReplaceFileContent", "RewriteUnchangedFile"},
                 kPolicyFile,
                 kPolicyLines},
        KindCase{"Network",
                 {{kScript, L"data:,x"}},
                 {},
                 {"RegRemoveValueAsRead"},
                 kScript,
                 kNetworkLines},
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

TEST(UnreadablePolicy, IsListedButNeitherCountedNorRemoved) {
    RepairBench bench;
    bench.platform.registry.addKeysEveryWindowsHas();
    ASSERT_FALSE(bench.platform.RegWrite(kSettings, L"{\"aaaa\":", RegistryType::String));
    bench.view.repairFindings = true;
    bench.press();
    EXPECT_TRUE(bench.view.questions.empty());
    EXPECT_TRUE(lineStartsWith(bench.view.lines,
                               L"    HKEY_LOCAL_MACHINE\\Software\\Policies\\"
                               L"Google\\Chrome\\ExtensionSettings = valor "
                               L"ilegible"));
    bench.load();
    EXPECT_EQ(bench.check(), RunOutcome::Done);
    EXPECT_FALSE(lineStartsWith(bench.view.lines, L"Bloqueo quitado: "));
    EXPECT_TRUE(bench.platform.registry.value(kSettings).has_value());
}

// An organisation's own home page, forced extension and proxy script, as its
// allow list in the policy key declares them, with the switches that turn the
// page and the script on: listed, neither counted nor removed.
TEST(AllowedLock, IsListedAsAllowedNeitherCountedNorRemoved) {
    RepairBench bench;
    bench.platform.registry.addKeysEveryWindowsHas();
    const std::vector<SeededLock> seeded = {
        {std::wstring(kChrome) + L"HomepageLocation", L"https://intranet.example/inicio"},
        {kForcelist + L"1", L"abcdefghijklmnopabcdefghijklmnop;https://update.example/x"},
        {std::wstring(kChrome) + L"ProxyPacUrl", L"https://pac.example/org.pac"},
        {std::wstring(kChrome) + L"HomepageIsNewTabPage", 0},
        {std::wstring(kChrome) + L"ProxyMode", L"pac_script"}};
    for (const auto& seed : seeded) {
        const auto type = std::holds_alternative<std::int32_t>(seed.data) ? RegistryType::Dword
                                                                          : RegistryType::String;
        ASSERT_FALSE(bench.platform.RegWrite(
            seed.path, std::visit([](auto d) { return RegistryData(d); }, seed.data), type));
    }
    const std::string firefoxPolicies =
        R"({"policies":{"ExtensionSettings":{"agente@empresa.example":)"
        R"({"installation_mode":"force_installed","install_url":"https://x.example/a.xpi"}}}})";
    bench.platform.RegWrite(
        L"HKLM\\SOFTWARE\\Mozilla\\Mozilla Firefox\\115.0\\Main\\Install Directory", L"D:\\Firefox",
        RegistryType::String);
    bench.platform.files.addFile(L"D:\\Firefox\\distribution\\policies.json", firefoxPolicies);
    int name = 0;
    for (const auto* entry :
         {L"pagina https://intranet.example/", L"extension abcdefghijklmnopabcdefghijklmnop",
          L"pac https://pac.example/", L"extension agente@empresa.example"}) {
        ASSERT_FALSE(bench.platform.RegWrite(
            std::wstring(kAllowPolicyKey) + std::to_wstring(++name), entry, RegistryType::String));
    }
    bench.view.repairFindings = true;
    EXPECT_EQ(bench.check(), RunOutcome::Done);
    EXPECT_EQ(std::ranges::count_if(bench.view.lines,
                                    [](const std::wstring& line) {
                                        return line.ends_with(L"(permitido por la lista)");
                                    }),
              std::ssize(seeded) + 1);
    bench.press();
    for (const auto& seed : seeded) {
        EXPECT_TRUE(bench.platform.registry.value(seed.path).has_value());
    }
    EXPECT_EQ(bench.platform.files.file(L"D:\\Firefox\\distribution\\policies.json")->bytes,
              firefoxPolicies);
}

TEST(FindingLines, GroupedByBrowserThenCutWithHowManyMore) {
    const std::vector<Finding> findings = {{FindingKind::BrowserPolicy, L"Chrome", L"a", L"1"},
                                           {FindingKind::BrowserPolicy, L"Edge", L"b", L"2"},
                                           {FindingKind::BrowserPolicy, L"Chrome", L"c", L"3"}};
    EXPECT_EQ(findingLines(findings, 4),
              (std::vector<std::wstring>{L"Chrome:", L"  Ajuste impuesto por una directiva: 1",
                                         L"    a = 1", L"  Ajuste impuesto por una directiva: 3",
                                         L"... y otros 4"}));
}

TEST(PolicyReach, TakesLockValuesAndListEntriesOnly) {
    const auto section = [](std::wstring key, std::wstring name) {
        return RegistryFileSection{std::move(key), false, {{std::move(name), std::nullopt}}};
    };
    const std::wstring chrome = L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Policies\\Google\\Chrome";
    EXPECT_TRUE(withinPolicyReach(section(chrome, L"HomepageLocation"), true));
    EXPECT_TRUE(withinPolicyReach(section(chrome + L"\\Recommended", L"ProxyMode"), true));
    EXPECT_TRUE(withinPolicyReach(section(chrome + L"\\ExtensionInstallForcelist", L"7"), true));
    EXPECT_TRUE(withinPolicyReach(section(chrome, L"extensioninstallforcelist"), true));
    EXPECT_FALSE(withinPolicyReach(section(chrome, L"IncognitoModeAvailability"), true));
    EXPECT_FALSE(withinPolicyReach(section(chrome + L"\\Other", L"1"), true));
    EXPECT_FALSE(withinPolicyReach(
        section(L"HKEY_USERS\\.DEFAULT\\Software\\Policies\\Google\\Chrome", L"ProxyMode"), true));
}

}  // namespace
}  // namespace tovask::test
