#include <algorithm>
#include <tuple>

#include "repair/network/ConnectionSettings.h"
#include "repair/network/NetworkRepair.h"
#include "repair/network/NetworkSettings.h"
#include "repair/network/StartupPrograms.h"
#include "repair/startup/StartupCommand.h"
#include "tests/native/RepairFixture.h"
#include "text/RegistryEncoding.h"

namespace tovask::test {
namespace {

const std::wstring kSettings =
    L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\";
const std::wstring kServer = L"HKCU" + kSettings + L"ProxyServer";
const std::wstring kEnable = L"HKCU" + kSettings + L"ProxyEnable";
const std::wstring kScript = L"HKCU" + kSettings + L"AutoConfigURL";
const std::wstring kDefault = L"HKCU" + kSettings + L"Connections\\DefaultConnectionSettings";
const std::wstring kWinHttp = L"HKLM" + kSettings + L"Connections\\WinHttpSettings";
const std::wstring kAdapter =
    L"HKLM\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\"
    L"{4D36E972-E325-11CE-BFC1-08002BE10318}\\";
const std::wstring kNameServer = kAdapter + L"NameServer";
const std::wstring kLocalRule =
    L"HKLM\\SYSTEM\\CurrentControlSet\\Services\\Dnscache\\Parameters\\DnsPolicyConfig\\{1}\\";
const std::wstring kPolicyRule =
    L"HKLM\\SOFTWARE\\Policies\\Microsoft\\Windows NT\\DNSClient\\DnsPolicyConfig\\Banco\\";
const std::wstring kProtocolEntry =
    L"HKLM\\SYSTEM\\CurrentControlSet\\Services\\WinSock2\\Parameters\\Protocol_Catalog9\\"
    L"Catalog_Entries\\000000000001\\";

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

// A transport provider's entry: its library's path, then the protocol's description.
RegistryValue packedItem(std::string_view library) {
    std::vector<std::uint8_t> bytes(260 + 628, 0);
    std::ranges::copy(library, bytes.begin());
    return {regtype::kBinary, std::move(bytes)};
}

struct NetworkCase {
    std::string name;
    std::vector<std::pair<std::wstring, RegistryValue>> seeded;  // by each value's path
    // What the repair leaves in each seeded value; none where it goes.
    std::vector<std::optional<RegistryValue>> left = {};
    std::vector<ListeningSocket> sockets = {};
    std::wstring reported = {};  // the information line of what is left alone
    // A user's own proxy or script that the user's own software serves.
    bool repairedOnAManagedMachine = false;

    friend void PrintTo(const NetworkCase& c, std::ostream* out) { *out << c.name; }
};

// The user the fake platform runs the program as, whose hive is HKCU.
const std::wstring kProgramUser = L"S-1-5-21-1004336348-1177238915-682003330-500";

const NetworkCase kDeadProxy{"",
                             {{kServer, stringValue(L"127.0.0.1:8080")}, {kEnable, dwordValue(1)}}};

struct NetworkFixture {
    void seed(const NetworkCase& networkCase) {
        auto& platform = bench.platform;
        platform.registry.addKeysEveryWindowsHas();
        platform.RegWrite(
            L"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\"
            L"S-1-5-21-1004336348-1177238915-682003330-1001\\ProfileImagePath",
            L"C:\\Users\\ana", RegistryType::String);
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
        return bench.check();
    }
    void repair() {
        bench.view.repairFindings = true;
        bench.press();
    }
    std::optional<RegistryValue> read(const std::wstring& path) {
        const auto value = bench.platform.RegReadValue(path, RegistryView::Default);
        return value.ok() ? std::optional(value.value()) : std::nullopt;
    }
    bool hasLine(std::wstring_view start) const {
        return std::ranges::any_of(
            bench.view.lines, [&](const std::wstring& line) { return line.starts_with(start); });
    }
    // The repair keeps every seeded value, and the check then finds nothing to repair.
    void expectKeptByTheRepair(const NetworkCase& networkCase) {
        repair();
        for (const auto& [path, value] : networkCase.seeded) {
            EXPECT_EQ(read(path), value);
        }
        EXPECT_EQ(check(true), RunOutcome::Done);
    }

    RepairBench bench;
};

class EachNetworkFinding : public NetworkFixture, public testing::TestWithParam<NetworkCase> {
  protected:
    void SetUp() override { seed(GetParam()); }
};

// As with /network alone, which does not offer to repair a browser's lock.
TEST_P(EachNetworkFinding, IsRepairedAloneTheCheckThenAgreesAndTheUndoPutsItBack) {
    const std::wstring lock = L"HKLM\\Software\\Policies\\Google\\Chrome\\HomepageLocation";
    bench.platform.RegWrite(lock, L"http://x.example", RegistryType::String);
    bench.view.notOffered = {FindingKind::BrowserPolicy};
    const auto before = bench.platform.registry.snapshot();
    bench.press();  // Internet Explorer only: the view says no
    ASSERT_EQ(check(false), RunOutcome::Done);
    ASSERT_EQ(check(true), RunOutcome::RepairNeeded);
    repair();

    EXPECT_TRUE(hasLine(L"Ajuste de red reparado: "));
    EXPECT_FALSE(hasLine(kErrorPrefix));
    EXPECT_TRUE(hasLine(L"Bloqueo dejado: "));
    EXPECT_TRUE(read(lock).has_value());
    for (std::size_t i = 0; i < GetParam().seeded.size(); ++i) {
        EXPECT_EQ(read(GetParam().seeded[i].first), GetParam().left[i]) << i;
    }
    EXPECT_EQ(check(true), RunOutcome::Done);
    const auto& first = GetParam().seeded.front().first;
    const bool dns = first.starts_with(kAdapter) || first.starts_with(kLocalRule) ||
                     first.starts_with(kPolicyRule);
    EXPECT_EQ(std::pair(bench.platform.internetSettingsNotices, bench.platform.dnsCacheFlushes),
              dns ? std::pair(0, 1) : std::pair(1, 0));
    EXPECT_EQ(bench.platform.policyRefreshes, 0);
    bench.undo();
    EXPECT_EQ(bench.platform.registry.snapshot(), before);
}

TEST_P(EachNetworkFinding, OnAManagedMachineOnlyTheUsersOwnIsRepaired) {
    bench.platform.machineJoin.cloudJoined = true;
    repair();
    EXPECT_TRUE(hasLine(L"En un equipo administrado solo se reparan el proxy de este equipo"));
    for (std::size_t i = 0; i < GetParam().seeded.size(); ++i) {
        const auto& [path, seeded] = GetParam().seeded[i];
        EXPECT_EQ(read(path), GetParam().repairedOnAManagedMachine ? GetParam().left[i] : seeded)
            << i;
    }
    EXPECT_EQ(check(true), RunOutcome::Done);
}

const NetworkCase kFindings[] = {
    // clang-format off
    {"DeadLoopbackProxyStringsKeepTheBypassList",
     {{kServer, stringValue(L"127.0.0.1:8080")}, {kEnable, dwordValue(1)}, {L"HKCU" + kSettings + L"ProxyOverride", stringValue(L"<local>")}},
     {std::nullopt, dwordValue(0), stringValue(L"<local>")}, {}, {}, true},
    {"DeadLoopbackProxyInBothFormsAgreeAfterwards",
     {{kDefault, connectionBlob(3, "localhost:8080")}, {kServer, stringValue(L"localhost:8080")}, {kEnable, dwordValue(0)}},
     {connectionBlob(9, "", "", 8), std::nullopt, dwordValue(0)}, {}, {}, true},
    {"ProxyServedFromAppData", {{kDefault, connectionBlob(3, "127.0.0.1:8080")}}, {connectionBlob(9, "", "", 8)},
     {{L"127.0.0.1", 8080, L"C:\\Users\\ana\\AppData\\Local\\Ofertas\\proxy.exe"}}, {}, true},
    {"ProxyOfAProgramThePersonStartedTakingAWindowsName", {{kServer, stringValue(L"127.0.0.1:8081")}, {kEnable, dwordValue(1)}},
     {std::nullopt, dwordValue(0)},
     {{L"127.0.0.1", 8081, L"C:\\Users\\ana\\AppData\\Roaming\\Ofertas\\svchost.exe", kProgramUser}}, {}, true},
    {"ScriptFileInTheProfile",
     {{kScript, stringValue(L"file:///C:/Users/ana/AppData/Roaming/x/p.pac")},
      {kDefault, connectionBlob(5, "", "file:///C:/Users/ana/AppData/Roaming/x/p.pac")}},
     {std::nullopt, connectionBlob(9, "", "", 8)}, {}, {}, true},
    {"ScriptOnLoopbackServedFromAppData", {{kScript, stringValue(L"http://0x7f.1:8080/proxy.pac")}}, {std::nullopt},
     {{L"0.0.0.0", 8080, L"C:\\Users\\ana\\AppData\\Local\\Ofertas\\proxy.exe"}}},
    {"ScriptOnAnInternetServerInBothForms",
     {{kScript, stringValue(L"http://ofertas.example/p.pac")},
      {kDefault, connectionBlob(5, "", "http://ofertas.example/p.pac")}},
     {std::nullopt, connectionBlob(9, "", "", 8)}},
    {"ScriptInTheAddress", {{kScript, stringValue(L"data:application/x-ns-proxy-autoconfig,function")}}, {std::nullopt}},
    {"DeadWinHttpProxy", {{kWinHttp, winHttpBlob(3, 3, "127.0.0.1:3128")}}, {winHttpBlob(4, 1, "")}},
    {"WinHttpProxyOfAProgramInAUsersSession", {{kWinHttp, winHttpBlob(3, 3, "127.0.0.1:8081")}}, {winHttpBlob(4, 1, "")},
     {{L"127.0.0.1", 8081, L"C:\\Users\\ana\\AppData\\Local\\Depurador\\proxy.exe", kProgramUser}}},
    {"RogueStaticDnsServer", {{kNameServer, stringValue(L"85.255.112.36,8.8.8.8")}}, {stringValue(L"8.8.8.8")}},
    {"NameRuleForEveryName", {{kLocalRule + L"Name", stringValue(L".")}, {kLocalRule + L"GenericDNSServers", stringValue(L"203.0.113.5")},
     {kLocalRule + L"Version", dwordValue(1)}}, {std::nullopt, std::nullopt, std::nullopt}},
    {"NameRuleOfAPolicyForABank", {{kPolicyRule + L"Name", stringValue(L"www.banco.example")},
     {kPolicyRule + L"GenericDNSServers", stringValue(L"203.0.113.5")}}, {std::nullopt, std::nullopt}},
    // clang-format on
};

INSTANTIATE_TEST_SUITE_P(Findings, EachNetworkFinding, testing::ValuesIn(kFindings),
                         [](const auto& info) { return info.param.name; });

class LeftAlone : public EachNetworkFinding {};

TEST_P(LeftAlone, IsReportedAndNeverChanged) {
    expectKeptByTheRepair(GetParam());
    EXPECT_TRUE(std::ranges::find(bench.view.lines, GetParam().reported) != bench.view.lines.end())
        << testing::PrintToString(bench.view.lines);
}

const std::wstring kShownServer = L"    HKEY_CURRENT_USER" + kServer.substr(4) + L" = ";
const std::wstring kShownAdapter = L"    HKEY_LOCAL_MACHINE" + kAdapter.substr(4);

const NetworkCase kLeftAlone[] = {
    // clang-format off
    {"CorporateProxy", {{kServer, stringValue(L"proxy.corp.example:8080")}, {kEnable, dwordValue(1)}}, {}, {},
     kShownServer + L"Proxy en proxy.corp.example:8080 (solo se informa)"},
    {"LoopbackProxyOfAnInstalledProgram", {{kServer, stringValue(L"127.0.0.1:8888")}, {kEnable, dwordValue(1)}}, {},
     {{L"0.0.0.0", 8888, L"C:\\Program Files\\Depurador\\depurador.exe"}},
     kShownServer + L"Proxy en 127.0.0.1:8888, servido por C:\\Program Files\\Depurador\\depurador.exe (solo se informa)"},
    {"LoopbackProxyOfAProgramThePersonStarted", {{kServer, stringValue(L"127.0.0.1:8081")}, {kEnable, dwordValue(1)}}, {},
     {{L"127.0.0.1", 8081, L"C:\\Users\\ana\\AppData\\Local\\Depurador\\proxy.exe", kProgramUser}},
     kShownServer + L"Proxy en 127.0.0.1:8081, servido por C:\\Users\\ana\\AppData\\Local\\Depurador\\proxy.exe, "
     L"un programa que el usuario abrió en su propia sesión (solo se informa)"},
    {"LoopbackProxyOfAProgramNobodyCanName", {{kServer, stringValue(L"127.0.0.1:8888")}, {kEnable, dwordValue(1)}}, {},
     {{L"127.0.0.1", 8888, L""}},
     kShownServer + L"Proxy en 127.0.0.1:8888, servido por un programa que no se pudo identificar (solo se informa)"},
    {"ScriptOnLoopbackOfAnInstalledProgram", {{kScript, stringValue(L"http://127.0.0.1:8888/p.pac")}}, {},
     {{L"127.0.0.1", 8888, L"C:\\Program Files\\Depurador\\depurador.exe"}},
     L"    HKEY_CURRENT_USER" + kScript.substr(4) + L" = Script de configuración automática en "
     L"http://127.0.0.1:8888/p.pac, servido por C:\\Program Files\\Depurador\\depurador.exe (solo se informa)"},
    {"ScriptUnderTheAdaptersDnsSuffix",
     {{kScript, stringValue(L"http://pac.oficina.example/p.pac")}, {kAdapter + L"DhcpDomain", stringValue(L"oficina.example")}}, {}, {},
     L"    HKEY_CURRENT_USER" + kScript.substr(4) + L" = Script de configuración automática en "
     L"http://pac.oficina.example/p.pac (solo se informa)"},
    {"PublicDnsServers", {{kNameServer, stringValue(L"1.1.1.1 8.8.8.8")}}, {}, {},
     kShownAdapter + L"NameServer = Servidores DNS fijos: 1.1.1.1 (Cloudflare), 8.8.8.8 (Google) (solo se informa)"},
    {"WinsockProviderInTheProfile",
     {{kProtocolEntry + L"PackedCatalogItem", packedItem("C:\\Users\\ana\\AppData\\Roaming\\Ofertas\\lsp.dll")}}, {}, {},
     L"    HKEY_LOCAL_MACHINE" + kProtocolEntry.substr(4) + L"PackedCatalogItem = Biblioteca de red que no es de Windows: "
     L"C:\\Users\\ana\\AppData\\Roaming\\Ofertas\\lsp.dll, en una carpeta que el usuario puede modificar; quite el "
     L"programa que la instaló y después ejecute «netsh winsock reset» como administrador (solo se informa)"},
    {"RouterDns", {{kNameServer, stringValue(L"")}, {kAdapter + L"DhcpNameServer", stringValue(L"85.255.112.1")}}, {}, {},
     kShownAdapter + L"DhcpNameServer = Servidores DNS del router (DHCP): 85.255.112.1 (rango usado por "
                     L"secuestradores de DNS); revise la configuración del router (solo se informa)"},
    // clang-format on
};

INSTANTIATE_TEST_SUITE_P(Information, LeftAlone, testing::ValuesIn(kLeftAlone),
                         [](const auto& info) { return info.param.name; });

class NetworkRun : public NetworkFixture, public testing::Test {};

// Wine takes the notice but cannot have the settings reread at once.
TEST(NetworkNotice, ThatTheSystemCannotActOnIsALineAndAnyOtherFailureAnErrorLine) {
    for (const auto error : {std::errc::function_not_supported, std::errc::permission_denied}) {
        NetworkFixture run;
        run.seed(kDeadProxy);
        run.bench.platform.failWhere("AnnounceInternetSettingsChanged", L"", errc(error));
        run.repair();
        const bool failed = error == std::errc::permission_denied;
        EXPECT_NE(run.hasLine(L"El sistema tomó el aviso del cambio de proxy"), failed);
        EXPECT_EQ(run.hasLine(errorLineStart(L"aviso de cambio de ajustes de Internet")), failed);
        EXPECT_EQ(run.bench.errorLines().size(), failed ? 1u : 0u);
    }
}

TEST_F(NetworkRun, ABrokenRuleOrCatalogEntryIsOneErrorLineAndTheRestGoesOn) {
    const std::wstring brokenRule =
        L"HKLM\\SYSTEM\\CurrentControlSet\\Services\\Dnscache\\Parameters\\DnsPolicyConfig\\{0}\\";
    const std::wstring nameSpaceEntry =
        L"HKLM\\SYSTEM\\CurrentControlSet\\Services\\WinSock2\\Parameters\\NameSpace_Catalog5\\"
        L"Catalog_Entries64\\000000000001\\";
    seed({"",
          {{brokenRule + L"Name", dwordValue(1)},
           {kLocalRule + L"Name", stringValue(L".")},
           {kLocalRule + L"GenericDNSServers", stringValue(L"203.0.113.5")},
           {kProtocolEntry + L"PackedCatalogItem", packedItem(std::string(300, 'x'))},
           {nameSpaceEntry + L"LibraryPath",
            stringValue(L"C:\\Program Files\\Bonjour\\mdnsNSP.dll")}}});
    repair();
    EXPECT_EQ(bench.errorLines().size(), 2u) << testing::PrintToString(bench.errorLines());
    EXPECT_TRUE(read(brokenRule + L"Name").has_value());
    EXPECT_FALSE(read(kLocalRule + L"Name").has_value());
    EXPECT_TRUE(
        anyLineHas(bench.view.lines, L"Biblioteca de red que no es de Windows: C:\\Program Files"));
}

TEST_F(NetworkRun, EveryUserIncludesTheDefaultProfileAndTheSystemAccount) {
    const std::wstring script = L"HKU\\S-1-5-18" + kScript.substr(4);
    seed({"", {{script, stringValue(L"data:,x")}}});
    bench.everyUser = true;
    repair();
    EXPECT_FALSE(read(script).has_value());
    bench.undo();
    EXPECT_EQ(read(script), stringValue(L"data:,x"));
}

struct LoggedOffCase {
    const char* name;
    std::wstring runCommand;     // in the user's Run key; none when empty
    std::wstring startupTarget;  // of a shortcut in the user's Startup folder; none when empty
    bool repaired;
    std::wstring_view description;

    friend void PrintTo(const LoggedOffCase& c, std::ostream* out) { *out << c.name; }
};

class LoggedOffUser : public NetworkFixture, public testing::TestWithParam<LoggedOffCase> {};

// With every user, a user who is not logged on has no proxy program running
// yet: what starts at the user's logon decides.
TEST_P(LoggedOffUser, ProxyIsJudgedByWhatStartsAtLogon) {
    const std::wstring sid = L"S-1-5-21-1004336348-1177238915-682003330-1001";  // ana's
    const std::wstring hive = L"HKU\\" + sid;
    seed({"",
          {{hive + kServer.substr(4), stringValue(L"127.0.0.1:8080")},
           {hive + kEnable.substr(4), dwordValue(1)}}});
    auto& platform = bench.platform;
    if (!GetParam().runCommand.empty()) {
        platform.RegWrite(hive + L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\Bandeja",
                          GetParam().runCommand, RegistryType::String);
    }
    if (!GetParam().startupTarget.empty()) {
        ShortcutContent shortcut;
        shortcut.target = GetParam().startupTarget;
        bench.addFiles({{L"C:\\Users\\ana\\AppData\\Roaming\\Microsoft\\Windows\\Start "
                         L"Menu\\Programs\\Startup\\Bandeja.lnk",
                         fake::fakeShortcutBytes(shortcut)},
                        {L"C:\\Users\\ana\\AppData\\Roaming\\Microsoft\\Windows\\Start "
                         L"Menu\\Programs\\Startup\\desktop.ini",
                         "[.ShellClassInfo]"}});
    }
    platform.parkHive(sid, L"C:\\Users\\ana\\NTUSER.DAT");
    bench.everyUser = true;
    bench.press();  // Internet Explorer only: the view says no

    EXPECT_EQ(check(true), GetParam().repaired ? RunOutcome::RepairNeeded : RunOutcome::Done);
    EXPECT_TRUE(anyLineHas(bench.view.lines, GetParam().description))
        << testing::PrintToString(bench.view.lines);
    EXPECT_TRUE(bench.errorLines().empty()) << testing::PrintToString(bench.errorLines());
    repair();
    EXPECT_EQ(anyLineHas(bench.view.lines, L"Ajuste de red reparado: "), GetParam().repaired);
    EXPECT_EQ(check(true), RunOutcome::Done);
}

const LoggedOffCase kLoggedOff[] = {
    // clang-format off
    {"NothingStarts", L"", L"", true,
     L"Proxy en 127.0.0.1:8080, donde no escucha ningún programa ni arranca ninguno al iniciar sesión el usuario"},
    {"InstalledProgramStarts", L"\"C:\\Program Files\\Depurador\\depurador.exe\" /bandeja", L"", false,
     L"Proxy en 127.0.0.1:8080, sin sesión del usuario; al iniciarla arranca C:\\Program Files\\Depurador\\depurador.exe (solo se informa)"},
    {"ProgramInTheProfileStarts", L"", L"%USERPROFILE%\\AppData\\Local\\Ofertas\\proxy.exe", true,
     L"Proxy en 127.0.0.1:8080, sin sesión del usuario; al iniciarla arranca C:\\Users\\ana\\AppData\\Local\\Ofertas\\proxy.exe, "
     L"en una carpeta que el usuario puede modificar"},
    // clang-format on
};

INSTANTIATE_TEST_SUITE_P(Startup, LoggedOffUser, testing::ValuesIn(kLoggedOff),
                         [](const auto& info) { return info.param.name; });

TEST_F(NetworkRun, StartupProgramsComeFromTheRunKeysAndTheStartupFolderNeverOnAShare) {
    const std::wstring hive = L"HKU\\Tovask_S-1-5-21-1004336348-1177238915-682003330-1001";
    const std::wstring run = hive + L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    const std::wstring startup = L"C:\\Users\\ana\\Inicio";
    seed({"", {}});
    auto& platform = bench.platform;
    platform.RegWrite(run + L"\\Steam", L"\"C:\\Program Files\\Steam\\steam.exe\" -silent",
                      RegistryType::String);
    platform.RegWrite(run + L"Once\\Ofertas", L"%USERPROFILE%\\Ofertas\\x.exe /instalar",
                      RegistryType::String);
    ShortcutContent shortcut;
    shortcut.target = L"%USERPROFILE%\\AppData\\Local\\Ofertas\\proxy.exe";
    bench.addFiles({{startup + L"\\Ofertas.lnk", fake::fakeShortcutBytes(shortcut)},
                    {startup + L"\\desktop.ini", "[.ShellClassInfo]"},
                    {startup + L"\\arranque.bat", "@echo off"}});
    const std::wstring shellFolder =
        hive +
        L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell "
        L"Folders\\Startup";
    const std::vector<std::wstring> fromRunKeys = {L"C:\\Program Files\\Steam\\steam.exe",
                                                   L"C:\\Users\\ana\\Ofertas\\x.exe"};
    auto everything = fromRunKeys;
    everything.insert(everything.end(), {L"C:\\Users\\ana\\AppData\\Local\\Ofertas\\proxy.exe",
                                         startup + L"\\arranque.bat"});
    for (const auto& [folder, programs] :
         {std::pair(L"%USERPROFILE%\\Inicio", everything),
          std::pair(L"\\\\127.0.0.1\\perfiles\\ana\\Inicio", fromRunKeys)}) {
        platform.RegWrite(shellFolder, folder, RegistryType::String);
        platform.calls.clear();
        FailureLog failures(platform);
        UserFoldersOfThisRun userFolders(platform, failures);
        EXPECT_EQ(startupPrograms(platform, hive, userFolders, failures), programs);
        EXPECT_TRUE(failures.entries().empty());
        EXPECT_EQ(std::ranges::count(platform.calls, "ListFiles", &fake::RecordedCall::operation),
                  programs == everything ? 1 : 0);
    }
}

// A PowerShell script in the profile is a hijack in itself; PowerShell may
// serve the proxy.
TEST_F(NetworkRun, HijackingRunProgramsAreThoseOfTheCommandsTheStartupRulesFind) {
    const std::wstring hive = L"HKU\\S-1-5-21-1004336348-1177238915-682003330-1001";
    const std::wstring run = hive + L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    seed({"", {}});
    auto& platform = bench.platform;
    platform.RegWrite(run + L"\\Steam", L"\"C:\\Program Files\\Steam\\steam.exe\" -silent",
                      RegistryType::String);
    platform.RegWrite(run + L"Once\\Proxy",
                      L"powershell.exe -w hidden -file \"%APPDATA%\\x\\p.ps1\"",
                      RegistryType::String);
    FailureLog failures(platform);
    UserFoldersOfThisRun userFolders(platform, failures);
    EXPECT_EQ(
        hijackingRunPrograms(platform, hive, userFolders, isRepairableStartupHijack, failures),
        std::vector<std::wstring>{L"powershell.exe"});
    EXPECT_TRUE(failures.entries().empty());
}

// Without the sockets no proxy on this machine can be said to be dead.
TEST_F(NetworkRun, AShortNameIsMadeLongBeforeTheFolderIsJudgedButOnlyOnAFixedDisk) {
    bench.platform.longNames = {{L"C:\\Users\\ANA~1", L"C:\\Users\\ana"},
                                {L"D:\\ANA~1", L"C:\\Users\\ana"}};
    bench.platform.notFixedDrives = {L'D'};
    seed({"",
          {{kScript, stringValue(L"file:///C:/Users/ANA~1/p.pac")},
           {kDefault, connectionBlob(5, "", "file:///D:/ANA~1/p.pac")}}});
    repair();
    EXPECT_EQ(read(kScript), std::nullopt);
    const auto askedOfD = std::ranges::count_if(bench.platform.calls, [](const auto& call) {
        return call.operation == "LongPathName" && call.target.starts_with(L"D:");
    });
    EXPECT_EQ(askedOfD, 0);
}

TEST_F(NetworkRun, UnreadableSocketsLeaveALoopbackProxyAsInformation) {
    seed(kDeadProxy);
    bench.platform.failWhere("ListeningSockets", L"", errc(std::errc::permission_denied));
    EXPECT_EQ(check(true), RunOutcome::DoneWithFailures);
    EXPECT_TRUE(hasLine(errorLineStart(L"GetExtendedTcpTable")));
    EXPECT_FALSE(hasLine(L"Para revisarlos o repararlos añada /network."));
}

// The undo imports its backup elevated: it may reach only what a network repair changes.
TEST(NetworkReach, TakesTheRepairedValuesOnly) {
    const std::wstring settings =
        L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
    const std::wstring adapter =
        L"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Tcpip6\\Parameters\\"
        L"Interfaces\\{1}";
    for (const auto& [key, name, within] :
         std::initializer_list<std::tuple<std::wstring, std::wstring, bool>>{
             {L"HKEY_USERS\\S-1-5-21-1-2-3-1001" + settings, L"ProxyServer", true},
             {L"HKEY_USERS\\.DEFAULT" + settings + L"\\Connections", L"SavedLegacySettings", true},
             {L"HKEY_LOCAL_MACHINE" + settings + L"\\Connections", L"WinHttpSettings", true},
             {adapter, L"NameServer", true},
             {L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Policies\\Microsoft\\Windows NT\\DNSClient\\"
              L"DnsPolicyConfig\\Banco",
              L"Name", true},
             {L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Policies\\Microsoft\\Windows NT\\DNSClient\\"
              L"DnsPolicyConfig",
              L"Name", false},
             {L"HKEY_CURRENT_USER" + settings, L"ProxyOverride", false},
             {L"HKEY_CURRENT_USER" + settings + L"\\Connections", L"WinHttpSettings", false},
             {L"HKEY_USERS\\S-1-5-19" + settings, L"ProxyServer", false},
             {adapter, L"DhcpNameServer", false},
             {adapter + L"\\Otra", L"NameServer", false}}) {
        EXPECT_EQ(withinNetworkReach({key, false, {{name, std::nullopt}}}, true), within)
            << testing::PrintToString(key + L"\\" + name);
    }
}

}  // namespace
}  // namespace tovask::test
