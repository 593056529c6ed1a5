#include <algorithm>

#include "repair/network/ConnectionSettings.h"
#include "repair/network/NetworkSettings.h"
#include "tests/native/RepairFixture.h"
#include "text/RegistryEncoding.h"

namespace tovask::test {
namespace {

constexpr std::wstring_view kSettings =
    L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\";
constexpr std::wstring_view kConnections =
    L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Connections\\";
constexpr std::wstring_view kMachineConnections =
    L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Connections\\";
constexpr std::wstring_view kAdapter =
    L"HKLM\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\"
    L"{4D36E972-E325-11CE-BFC1-08002BE10318}\\";
constexpr std::wstring_view kProfile =
    L"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\"
    L"S-1-5-21-1004336348-1177238915-682003330-1001\\ProfileImagePath";
const std::wstring kProgramInAppData = L"C:\\Users\\ana\\AppData\\Local\\Ofertas\\proxy.exe";

// The repair moves the counter on from 7 to 8.
RegistryValue connectionBlob(std::uint32_t flags, std::string proxy, std::string script = "",
                             std::uint32_t counter = 7) {
    return {regtype::kBinary,
            encodeConnectionSettings({0x46, counter, flags, std::move(proxy), "<local>",
                                      std::move(script), std::vector<std::uint8_t>(32)})};
}

RegistryValue winHttpBlob(std::uint32_t counter, std::uint32_t access, std::string proxy) {
    return {regtype::kBinary,
            encodeWinHttpSettings({0x28, counter, access, std::move(proxy), "", {}})};
}

struct Seed {
    std::wstring path;  // a value's path
    RegistryValue value;
};

struct NetworkCase {
    std::string name;
    std::vector<Seed> seeded;
    // What the repair leaves in each seeded value; none where it goes.
    std::vector<std::optional<RegistryValue>> left = {};
    std::vector<ListeningSocket> sockets = {};

    friend void PrintTo(const NetworkCase& c, std::ostream* out) { *out << c.name; }
};

struct NetworkFixture {
    void seed(const NetworkCase& networkCase) {
        auto& platform = bench.platform;
        platform.registry.addKeysEveryWindowsHas();
        platform.RegWrite(kProfile, L"C:\\Users\\ana", RegistryType::String);
        platform.listeningSockets = networkCase.sockets;
        for (const auto& [path, value] : networkCase.seeded) {
            const auto keyEnd = path.rfind(L'\\') + 1;
            for (const auto view : {RegistryView::Bits32, RegistryView::Bits64}) {
                platform.RegWriteRaw(path.substr(0, keyEnd), path.substr(keyEnd), value,
                                     path.starts_with(L"HKCU") ? RegistryView::Default : view);
            }
        }
    }
    RunOutcome check(bool network) {
        bench.load();
        bench.view.repairFindings = network;
        return bench.repair.checkWhatNeedsRepair();
    }
    std::optional<RegistryValue> read(const std::wstring& path) {
        const auto value = bench.platform.RegReadValue(path, RegistryView::Default);
        return value.ok() ? std::optional(value.value()) : std::nullopt;
    }
    bool hasLine(std::wstring_view start) const {
        return std::ranges::any_of(
            bench.view.lines, [&](const std::wstring& line) { return line.starts_with(start); });
    }

    RepairBench bench;
};

class EachNetworkFinding : public NetworkFixture, public testing::TestWithParam<NetworkCase> {
  protected:
    void SetUp() override { seed(GetParam()); }
};

TEST_P(EachNetworkFinding, IsRepairedAloneAndTheCheckThenAgrees) {
    bench.press();  // Internet Explorer only: the view says no
    ASSERT_EQ(check(false), RunOutcome::Done);
    ASSERT_EQ(check(true), RunOutcome::RepairNeeded);
    bench.view.repairFindings = true;
    bench.press();

    EXPECT_TRUE(hasLine(L"Ajuste de red reparado: "));
    EXPECT_FALSE(hasLine(kErrorPrefix));
    for (std::size_t i = 0; i < GetParam().seeded.size(); ++i) {
        EXPECT_EQ(read(GetParam().seeded[i].path), GetParam().left[i]) << i;
    }
    EXPECT_EQ(check(true), RunOutcome::Done);
    const bool dns = GetParam().seeded.front().path.starts_with(kAdapter);
    EXPECT_EQ(bench.platform.internetSettingsNotices, dns ? 0 : 1);
    EXPECT_EQ(bench.platform.dnsCacheFlushes, dns ? 1 : 0);
}

TEST_P(EachNetworkFinding, IsPutBackByTheUndo) {
    const auto before = bench.platform.registry.snapshot();
    bench.view.repairFindings = true;
    bench.press();
    bench.undo();
    EXPECT_EQ(bench.platform.registry.snapshot(), before);
}

TEST_P(EachNetworkFinding, IsOnlyReportedOnAManagedMachine) {
    bench.platform.machineJoin.cloudJoined = true;
    bench.view.repairFindings = true;
    bench.press();
    EXPECT_EQ(check(true), RunOutcome::Done);
    EXPECT_TRUE(hasLine(L"En un equipo administrado los ajustes de red solo se informan."));
    for (const auto& [path, value] : GetParam().seeded) {
        EXPECT_EQ(read(path), value);
    }
}

const std::wstring kServer = std::wstring(kSettings) + L"ProxyServer";
const std::wstring kEnable = std::wstring(kSettings) + L"ProxyEnable";
const std::wstring kOverride = std::wstring(kSettings) + L"ProxyOverride";
const std::wstring kScript = std::wstring(kSettings) + L"AutoConfigURL";
const std::wstring kDefault = std::wstring(kConnections) + L"DefaultConnectionSettings";
const std::wstring kWinHttp = std::wstring(kMachineConnections) + L"WinHttpSettings";
const std::wstring kNameServer = std::wstring(kAdapter) + L"NameServer";

INSTANTIATE_TEST_SUITE_P(
    Findings, EachNetworkFinding,
    testing::Values(
        NetworkCase{"DeadLoopbackProxyStringsKeepTheBypassList",
                    {{kServer, stringValue(L"127.0.0.1:8080")},
                     {kEnable, dwordValue(1)},
                     {kOverride, stringValue(L"<local>")}},
                    {std::nullopt, dwordValue(0), stringValue(L"<local>")}},
        NetworkCase{"DeadLoopbackProxyInBothFormsAgreeAfterwards",
                    {{kDefault, connectionBlob(3, "localhost:8080")},
                     {kServer, stringValue(L"localhost:8080")},
                     {kEnable, dwordValue(0)}},
                    {connectionBlob(9, "", "", 8), std::nullopt, dwordValue(0)}},
        NetworkCase{"ProxyServedFromAppData",
                    {{kDefault, connectionBlob(3, "127.0.0.1:8080")}},
                    {connectionBlob(9, "", "", 8)},
                    {{L"127.0.0.1", 8080, kProgramInAppData}}},
        NetworkCase{
            "ScriptFileInTheProfile",
            {{kScript, stringValue(L"file:///C:/Users/ana/AppData/Roaming/x/p.pac")},
             {kDefault, connectionBlob(5, "", "file:///C:/Users/ana/AppData/Roaming/x/p.pac")}},
            {std::nullopt, connectionBlob(9, "", "", 8)}},
        NetworkCase{"ScriptInTheAddress",
                    {{kScript, stringValue(L"data:application/x-ns-proxy-autoconfig,function")}},
                    {std::nullopt}},
        NetworkCase{"DeadWinHttpProxy",
                    {{kWinHttp, winHttpBlob(3, 3, "127.0.0.1:3128")}},
                    {winHttpBlob(4, 1, "")}},
        NetworkCase{"RogueStaticDnsServer",
                    {{kNameServer, stringValue(L"85.255.112.36,8.8.8.8")}},
                    {stringValue(L"8.8.8.8")}}),
    [](const testing::TestParamInfo<NetworkCase>& info) { return info.param.name; });

struct LeftCase {
    std::string name;
    NetworkCase seeded;
    std::wstring reported;  // the information line

    friend void PrintTo(const LeftCase& c, std::ostream* out) { *out << c.name; }
};

class LeftAlone : public NetworkFixture, public testing::TestWithParam<LeftCase> {};

TEST_P(LeftAlone, IsReportedAndNeverChanged) {
    seed(GetParam().seeded);
    bench.view.repairFindings = true;
    bench.press();
    for (const auto& [path, value] : GetParam().seeded.seeded) {
        EXPECT_EQ(read(path), value);
    }
    EXPECT_EQ(check(true), RunOutcome::Done);
    EXPECT_TRUE(std::ranges::find(bench.view.lines, GetParam().reported) != bench.view.lines.end())
        << testing::PrintToString(bench.view.lines);
}

const std::wstring kDhcp = std::wstring(kAdapter) + L"DhcpNameServer";
const std::wstring kShownServer =
    L"  HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet "
    L"Settings\\ProxyServer = ";
const std::wstring kShownAdapter =
    L"  HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\"
    L"{4D36E972-E325-11CE-BFC1-08002BE10318}\\";

INSTANTIATE_TEST_SUITE_P(
    Information, LeftAlone,
    testing::Values(
        LeftCase{
            "CorporateProxy",
            {"", {{kServer, stringValue(L"proxy.corp.example:8080")}, {kEnable, dwordValue(1)}}},
            kShownServer + L"Proxy en proxy.corp.example:8080 (solo se informa)"},
        LeftCase{"LoopbackProxyOfAnInstalledProgram",
                 {"",
                  {{kServer, stringValue(L"127.0.0.1:8888")}, {kEnable, dwordValue(1)}},
                  {},
                  {{L"0.0.0.0", 8888, L"C:\\Program Files\\Depurador\\depurador.exe"}}},
                 kShownServer + L"Proxy en 127.0.0.1:8888, servido por C:\\Program "
                                L"Files\\Depurador\\depurador.exe (solo se informa)"},
        LeftCase{"LoopbackProxyOfAProgramNobodyCanName",
                 {"",
                  {{kServer, stringValue(L"127.0.0.1:8888")}, {kEnable, dwordValue(1)}},
                  {},
                  {{L"127.0.0.1", 8888, L""}}},
                 kShownServer + L"Proxy en 127.0.0.1:8888, servido por un programa que no se "
                                L"pudo identificar (solo se informa)"},
        LeftCase{"PublicDnsServers",
                 {"", {{kNameServer, stringValue(L"1.1.1.1 8.8.8.8")}}},
                 kShownAdapter +
                     L"NameServer = Servidores DNS fijos: 1.1.1.1 (Cloudflare), 8.8.8.8 "
                     L"(Google) (solo se informa)"},
        LeftCase{"RouterDns",
                 {"", {{kNameServer, stringValue(L"")}, {kDhcp, stringValue(L"85.255.112.1")}}},
                 kShownAdapter + L"DhcpNameServer = Servidores DNS del router (DHCP): 85.255.112.1 "
                                 L"(rango usado por secuestradores de DNS); revise la "
                                 L"configuración del router (solo se informa)"}),
    [](const testing::TestParamInfo<LeftCase>& info) { return info.param.name; });

class NetworkRun : public NetworkFixture, public testing::Test {};

// The command line offers only the kinds its switches name.
TEST_F(NetworkRun, OnlyTheOfferedKindIsRepaired) {
    seed({"", {{kServer, stringValue(L"127.0.0.1:8080")}, {kEnable, dwordValue(1)}}});
    const std::wstring lock = L"HKLM\\Software\\Policies\\Google\\Chrome\\HomepageLocation";
    bench.platform.RegWrite(lock, L"http://x.example", RegistryType::String);
    bench.view.notOffered = {FindingKind::BrowserPolicy};
    bench.view.repairFindings = true;
    bench.press();
    EXPECT_FALSE(read(kServer).has_value());
    EXPECT_TRUE(read(lock).has_value());
    EXPECT_TRUE(hasLine(L"Bloqueo dejado: "));
    EXPECT_EQ(bench.platform.policyRefreshes, 0);
}

// Wine takes the notice but cannot have the settings reread at once.
TEST(NetworkNotice, ThatTheSystemCannotActOnIsALineAndAnyOtherFailureAnErrorLine) {
    for (const auto& [error, line] :
         {std::pair{std::errc::function_not_supported,
                    std::wstring(L"El sistema tomó el aviso del cambio de proxy")},
          std::pair{std::errc::permission_denied,
                    errorLineStart(L"aviso de cambio de ajustes de Internet")}}) {
        NetworkFixture run;
        run.seed({"", {{kServer, stringValue(L"127.0.0.1:8080")}, {kEnable, dwordValue(1)}}});
        run.bench.platform.failWhere("AnnounceInternetSettingsChanged", L"", errc(error));
        run.bench.view.repairFindings = true;
        run.bench.press();
        EXPECT_TRUE(run.hasLine(line));
        EXPECT_EQ(run.hasLine(kErrorPrefix), error == std::errc::permission_denied);
    }
}

// Without the sockets no proxy on this machine can be said to be dead.
TEST_F(NetworkRun, UnreadableSocketsLeaveALoopbackProxyAsInformation) {
    seed({"", {{kServer, stringValue(L"127.0.0.1:8080")}, {kEnable, dwordValue(1)}}});
    bench.platform.failWhere("ListeningSockets", L"", errc(std::errc::permission_denied));
    EXPECT_EQ(check(true), RunOutcome::DoneWithFailures);
    EXPECT_TRUE(hasLine(errorLineStart(L"GetExtendedTcpTable")));
    EXPECT_FALSE(hasLine(L"Para revisarlos o repararlos añada /network."));
}

TEST_F(NetworkRun, EveryUserIncludesTheDefaultProfileAndTheSystemAccount) {
    const std::wstring system =
        L"HKU\\S-1-5-18\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\";
    seed({"", {{system + L"AutoConfigURL", stringValue(L"data:,x")}}});
    bench.repair.setEveryUser(true);
    bench.view.repairFindings = true;
    bench.press();
    EXPECT_FALSE(read(system + L"AutoConfigURL").has_value());
    bench.undo();
    EXPECT_EQ(read(system + L"AutoConfigURL"), stringValue(L"data:,x"));
}

// The undo imports its backup elevated: it may reach only what a network repair changes.
TEST(NetworkReach, TakesTheRepairedValuesOnly) {
    const auto within = [](std::wstring key, std::wstring name) {
        return withinNetworkReach({std::move(key), false, {{std::move(name), std::nullopt}}}, true);
    };
    const std::wstring settings =
        L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
    const std::wstring adapters =
        L"HKEY_LOCAL_"
        L"MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Tcpip6\\Parameters\\Interfaces\\";
    EXPECT_TRUE(within(L"HKEY_USERS\\S-1-5-21-1-2-3-1001" + settings, L"ProxyServer"));
    EXPECT_TRUE(
        within(L"HKEY_USERS\\.DEFAULT" + settings + L"\\Connections", L"SavedLegacySettings"));
    EXPECT_TRUE(within(L"HKEY_LOCAL_MACHINE" + settings + L"\\Connections", L"WinHttpSettings"));
    EXPECT_TRUE(within(adapters + L"{1}", L"NameServer"));
    EXPECT_FALSE(within(L"HKEY_CURRENT_USER" + settings, L"ProxyOverride"));
    EXPECT_FALSE(within(L"HKEY_CURRENT_USER" + settings + L"\\Connections", L"WinHttpSettings"));
    EXPECT_FALSE(within(L"HKEY_USERS\\S-1-5-19" + settings, L"ProxyServer"));
    EXPECT_FALSE(within(adapters + L"{1}", L"DhcpNameServer"));
    EXPECT_FALSE(within(adapters + L"{1}\\Otra", L"NameServer"));
}

}  // namespace
}  // namespace tovask::test
