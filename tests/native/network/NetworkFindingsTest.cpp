#include <gtest/gtest.h>

#include "repair/network/NetworkFindings.h"

namespace tovask {
namespace {

enum class Setting { Proxy, Script, StaticDns, DhcpDns };

struct FindingCase {
    const char* name;
    Setting setting;
    std::wstring_view value;
    bool managed;
    FindingWeight weight;
    std::wstring_view description;
    // Set for a user who is not logged on.
    std::optional<std::vector<std::wstring>> startupPrograms = std::nullopt;

    friend void PrintTo(const FindingCase& c, std::ostream* out) { *out << c.name; }
};

// As the file system answers for ana's short name.
std::wstring longPathOf(std::wstring_view path) {
    constexpr std::wstring_view kShortName = L"C:\\Users\\ANA~1";
    return path.starts_with(kShortName)
               ? L"C:\\Users\\ana" + std::wstring(path.substr(kShortName.size()))
               : std::wstring(path);
}

constexpr std::wstring_view kAna = L"S-1-5-21-1-2-3-1001";
constexpr std::wstring_view kHijackingProgram = L"C:\\Program Files\\Ofertas\\svchost.exe";

NetworkFacts factsOf(bool managed,
                     std::optional<std::vector<std::wstring>> startupPrograms = std::nullopt) {
    return {
        managed,
        {L"C:\\Users\\ana", L"C:\\Users\\ana\\AppData\\Local\\Temp", L"C:\\ProgramData"},
        {{8080, L"C:\\Users\\ana\\AppData\\Roaming\\Ofertas\\ofertas.exe"},
         {8888, L"C:\\Program Files\\Depurador\\depurador.exe"},
         {9000, L""},
         {7000, L"C:\\Users\\ANA~1\\x.exe"},
         {8081, L"C:\\Users\\ana\\AppData\\Local\\Depurador\\proxy.exe", std::wstring(kAna)},
         {8082, L"C:\\Users\\ana\\AppData\\Local\\Depurador\\proxy.exe", L"S-1-5-21-1-2-3-1002"},
         {8083, L"C:\\Program Files\\Superfish\\VISUALDISCOVERY.EXE", std::wstring(kAna)},
         {8084, std::wstring(kHijackingProgram), std::wstring(kAna)}},
        true,
        std::move(startupPrograms),
        false,
        longPathOf,
        {L"corp.example"},
        std::wstring(kAna),
        [](std::wstring_view program) { return program == kHijackingProgram; }};
}

NetworkAssessment assess(const FindingCase& c) {
    const auto facts = factsOf(c.managed, c.startupPrograms);
    switch (c.setting) {
        case Setting::Proxy:
            return assessProxy(c.value, facts);
        case Setting::Script:
            return assessScriptAddress(c.value, facts);
        case Setting::StaticDns:
            return assessNameServers(c.value, DnsSource::Static, facts);
        case Setting::DhcpDns:
            return assessNameServers(c.value, DnsSource::Dhcp, facts);
    }
    return {};
}

constexpr auto kNone = FindingWeight::None;
constexpr auto kInformation = FindingWeight::Information;
constexpr auto kRepairable = FindingWeight::Repairable;

const FindingCase kCases[] = {
    // clang-format off
    {"DeadLoopbackProxy", Setting::Proxy, L"127.0.0.1:3128", false, kRepairable,
     L"Proxy en 127.0.0.1:3128, donde no escucha ningún programa"},
    {"ProxyServedFromAppData", Setting::Proxy, L"http=localhost:8080;https=localhost:8080", false, kRepairable,
     L"Proxy en localhost:8080, servido por C:\\Users\\ana\\AppData\\Roaming\\Ofertas\\ofertas.exe, "
     L"en una carpeta que el usuario puede modificar"},
    {"ProxyServedFromProgramFiles", Setting::Proxy, L"[::1]:8888", false, kInformation,
     L"Proxy en [::1]:8888, servido por C:\\Program Files\\Depurador\\depurador.exe"},
    {"ProxyServedByUnknownProgram", Setting::Proxy, L"127.0.0.1:9000", false, kInformation,
     L"Proxy en 127.0.0.1:9000, servido por un programa que no se pudo identificar"},
    {"CorporateProxy", Setting::Proxy, L"proxy.corp.example:8080", false, kInformation,
     L"Proxy en proxy.corp.example:8080"},
    {"UsersDeadProxyOnManagedMachine", Setting::Proxy, L"127.0.0.1:3128", true, kRepairable,
     L"Proxy en 127.0.0.1:3128, donde no escucha ningún programa"},
    {"ScriptInAddress", Setting::Script, L"data:application/x-ns-proxy-autoconfig;base64,ZnVu", false,
     kRepairable, L"Script de configuración automática escrito en la propia dirección (data:)"},
    {"ScriptInUserFolder", Setting::Script, L"file:///C:/Users/ana/AppData/Roaming/x/p.pac", false,
     kRepairable, L"Script de configuración automática en C:\\Users\\ana\\AppData\\Roaming\\x\\p.pac, "
     L"en una carpeta que el usuario puede modificar"},
    {"ScriptEscapingUserFolder", Setting::Script, L"file:///C:/Users/ana/../../Windows/p.pac", false,
     kInformation, L"Script de configuración automática en file:///C:/Users/ana/../../Windows/p.pac"},
    {"ScriptByShortName", Setting::Script, L"file:///C:/Users/ANA~1/p.pac", false, kRepairable,
     L"Script de configuración automática en C:\\Users\\ANA~1\\p.pac, en una carpeta que el usuario "
     L"puede modificar"},
    {"ScriptOnTheDrivesShareOfThisMachine", Setting::Script, L"file://127.0.0.1/C$/Users/ana/p.pac",
     false, kRepairable, L"Script de configuración automática en C:\\Users\\ana\\p.pac, en una "
     L"carpeta que el usuario puede modificar"},
    {"ProxyServedByShortName", Setting::Proxy, L"127.0.0.1:7000", false, kRepairable,
     L"Proxy en 127.0.0.1:7000, servido por C:\\Users\\ANA~1\\x.exe, en una carpeta que el "
     L"usuario puede modificar"},
    {"ScriptOnAShare", Setting::Script, L"file://127.0.0.1/share/p.pac", false, kInformation,
     L"Script de configuración automática en \\\\127.0.0.1\\share\\p.pac, en una ruta de red o en "
     L"una unidad que no es un disco de este equipo: no se abre"},
    {"CorporateScript", Setting::Script, L"http://wpad.corp.example/p.pac", false, kInformation,
     L"Script de configuración automática en http://wpad.corp.example/p.pac"},
    {"ScriptOnAnInternetName", Setting::Script, L"http://ofertas.example/p.pac", false, kRepairable,
     L"Script de configuración automática en http://ofertas.example/p.pac, en un servidor de Internet"},
    {"ScriptOnAnInternetAddress", Setting::Script, L"https://85.255.112.9:8443/p.pac", false, kRepairable,
     L"Script de configuración automática en https://85.255.112.9:8443/p.pac, en un servidor de Internet"},
    {"ScriptOnANameThatOnlyHoldsTheSuffix", Setting::Script, L"http://corp.example.ofertas.example/p.pac", false,
     kRepairable, L"Script de configuración automática en http://corp.example.ofertas.example/p.pac, en un servidor de Internet"},
    {"ScriptOnAnInternetNameOnManagedMachine", Setting::Script, L"http://ofertas.example/p.pac", true, kInformation,
     L"Script de configuración automática en http://ofertas.example/p.pac, en un servidor de Internet"},
    {"ScriptOnAPrivateAddress", Setting::Script, L"http://192.168.1.10/p.pac", false, kInformation,
     L"Script de configuración automática en http://192.168.1.10/p.pac"},
    {"ScriptOnAMappedPrivateAddress", Setting::Script, L"http://[::ffff:10.0.0.1]/p.pac", false, kInformation,
     L"Script de configuración automática en http://[::ffff:10.0.0.1]/p.pac"},
    {"ScriptOnALinkLocalAddress", Setting::Script, L"http://[fe80::1]/p.pac", false, kInformation,
     L"Script de configuración automática en http://[fe80::1]/p.pac"},
    {"ScriptOnASingleLabelName", Setting::Script, L"http://wpad/wpad.dat", false, kInformation,
     L"Script de configuración automática en http://wpad/wpad.dat"},
    {"ScriptOnALanNameWithTheRootsDot", Setting::Script, L"http://proxy.LAN./p.pac", false, kInformation,
     L"Script de configuración automática en http://proxy.LAN./p.pac"},
    {"ScriptOnAnInternalName", Setting::Script, L"http://pac.empresa.internal/p.pac", false, kInformation,
     L"Script de configuración automática en http://pac.empresa.internal/p.pac"},
    {"ScriptInAddressOnManagedMachine", Setting::Script, L"data:,x", true, kInformation,
     L"Script de configuración automática escrito en la propia dirección (data:)"},
    {"StaticHijackerDns", Setting::StaticDns, L"85.255.112.36,8.8.8.8", false, kRepairable,
     L"Servidores DNS fijos: 85.255.112.36 (rango usado por secuestradores de DNS), 8.8.8.8 (Google)"},
    {"StaticPublicDns", Setting::StaticDns, L"1.1.1.1 10.0.0.1", false, kInformation,
     L"Servidores DNS fijos: 1.1.1.1 (Cloudflare), 10.0.0.1"},
    {"DhcpHijackerDns", Setting::DhcpDns, L"85.255.112.36", false, kInformation,
     L"Servidores DNS del router (DHCP): 85.255.112.36 (rango usado por secuestradores de DNS); "
     L"revise la configuración del router"},
    {"StaticHijackerDnsOnManagedMachine", Setting::StaticDns, L"64.28.176.1", true, kInformation,
     L"Servidores DNS fijos: 64.28.176.1 (rango usado por secuestradores de DNS)"},
    {"LoopbackProxySpelledAsOneNumber", Setting::Proxy, L"2130706433:3128", false, kRepairable,
     L"Proxy en 2130706433:3128, donde no escucha ningún programa"},
    {"MappedLoopbackProxyServedFromAppData", Setting::Proxy, L"[::ffff:127.0.0.1]:8080", false, kRepairable,
     L"Proxy en [::ffff:127.0.0.1]:8080, servido por C:\\Users\\ana\\AppData\\Roaming\\Ofertas\\ofertas.exe, "
     L"en una carpeta que el usuario puede modificar"},
    {"ScriptOnLoopbackServedFromAppData", Setting::Script, L"http://127.1:8080/proxy.pac", false, kRepairable,
     L"Script de configuración automática en http://127.1:8080/proxy.pac, servido por "
     L"C:\\Users\\ana\\AppData\\Roaming\\Ofertas\\ofertas.exe, en una carpeta que el usuario puede modificar"},
    {"ScriptOnLoopbackNobodyServes", Setting::Script, L"http://localhost./p.pac", false, kRepairable,
     L"Script de configuración automática en http://localhost./p.pac, donde no escucha ningún programa"},
    {"ScriptOnLoopbackOfAnInstalledProgram", Setting::Script, L"http://0x7f.1:8888/p.pac", false, kInformation,
     L"Script de configuración automática en http://0x7f.1:8888/p.pac, servido por "
     L"C:\\Program Files\\Depurador\\depurador.exe"},
    {"ScriptOnLoopbackOnManagedMachine", Setting::Script, L"http://127.0.0.1/p.pac", true, kInformation,
     L"Script de configuración automática en http://127.0.0.1/p.pac, donde no escucha ningún programa"},
    {"LoggedOffUsersProxyNothingStarts", Setting::Proxy, L"127.0.0.1:3128", false, kRepairable,
     L"Proxy en 127.0.0.1:3128, donde no escucha ningún programa ni arranca ninguno al iniciar sesión el usuario",
     std::vector<std::wstring>{}},
    {"LoggedOffUsersProxyStartedFromAppData", Setting::Proxy, L"127.0.0.1:3128", false, kRepairable,
     L"Proxy en 127.0.0.1:3128, sin sesión del usuario; al iniciarla arranca "
     L"C:\\Users\\ana\\AppData\\Roaming\\x.exe, en una carpeta que el usuario puede modificar",
     std::vector<std::wstring>{L"C:\\Program Files\\Steam\\steam.exe", L"C:\\Users\\ana\\AppData\\Roaming\\x.exe"}},
    {"LoggedOffUsersProxyStartedFromProgramFiles", Setting::Proxy, L"127.0.0.1:3128", false, kInformation,
     L"Proxy en 127.0.0.1:3128, sin sesión del usuario; al iniciarla arrancan "
     L"C:\\Program Files\\Steam\\steam.exe, C:\\Windows\\System32\\x.exe",
     std::vector<std::wstring>{L"C:\\Program Files\\Steam\\steam.exe", L"C:\\Windows\\System32\\x.exe"}},
    {"LoggedOffUsersScriptServedNow", Setting::Script, L"http://127.0.0.1:8888/p.pac", false, kInformation,
     L"Script de configuración automática en http://127.0.0.1:8888/p.pac, servido por "
     L"C:\\Program Files\\Depurador\\depurador.exe", std::vector<std::wstring>{}},
    {"ProxyOfAProgramThePersonStarted", Setting::Proxy, L"127.0.0.1:8081", false, kInformation,
     L"Proxy en 127.0.0.1:8081, servido por C:\\Users\\ana\\AppData\\Local\\Depurador\\proxy.exe, "
     L"un programa que el usuario abrió en su propia sesión"},
    {"ScriptOfAProgramThePersonStarted", Setting::Script, L"http://localhost:8081/p.pac", false, kInformation,
     L"Script de configuración automática en http://localhost:8081/p.pac, servido por "
     L"C:\\Users\\ana\\AppData\\Local\\Depurador\\proxy.exe, un programa que el usuario abrió en su propia sesión"},
    {"ProxyOfAnotherUsersSession", Setting::Proxy, L"127.0.0.1:8082", false, kRepairable,
     L"Proxy en 127.0.0.1:8082, servido por C:\\Users\\ana\\AppData\\Local\\Depurador\\proxy.exe, "
     L"en una carpeta que el usuario puede modificar"},
    {"PublishedAdwareProxyThePersonStarted", Setting::Proxy, L"127.0.0.1:8083", false, kRepairable,
     L"Proxy en 127.0.0.1:8083, servido por C:\\Program Files\\Superfish\\VISUALDISCOVERY.EXE, "
     L"un proxy publicitario conocido"},
    {"ProxyThePersonStartedThatIsAStartupHijack", Setting::Proxy, L"127.0.0.1:8084", false, kRepairable,
     L"Proxy en 127.0.0.1:8084, servido por C:\\Program Files\\Ofertas\\svchost.exe, un programa que el "
     L"inicio de Windows arranca como secuestro"},
    {"NoProxy", Setting::Proxy, L"", false, kNone, L""},
    {"NoStaticDns", Setting::StaticDns, L" ", false, kNone, L""},
    // clang-format on
};

class NetworkSetting : public testing::TestWithParam<FindingCase> {};

TEST_P(NetworkSetting, IsWeighedAndDescribed) {
    const auto assessment = assess(GetParam());
    EXPECT_EQ(assessment.weight, GetParam().weight);
    EXPECT_EQ(assessment.description, GetParam().description);
}

INSTANTIATE_TEST_SUITE_P(Cases, NetworkSetting, testing::ValuesIn(kCases),
                         [](const auto& info) { return info.param.name; });

// What the start-up programs' kind may act on, apart from the text shown.
TEST(LoopbackProxy, CarriesTheProgramsFoundServingIt) {
    const auto facts = factsOf(false);
    EXPECT_EQ(assessProxy(L"http=localhost:8080;https=[::1]:8888", facts).evidence.servingPrograms,
              (std::vector<std::wstring>{L"C:\\Users\\ana\\AppData\\Roaming\\Ofertas\\ofertas.exe",
                                         L"C:\\Program Files\\Depurador\\depurador.exe"}));
    EXPECT_EQ(
        assessScriptAddress(L"http://127.0.0.1:8080/p.pac", facts).evidence.servingPrograms.size(),
        1u);
    EXPECT_TRUE(assessProxy(L"127.0.0.1:3128", facts).evidence.servingPrograms.empty());
}

ConnectionSettings switchedOn(std::uint32_t flags, std::string proxy, std::string script) {
    return {0x46,
            7,
            connectionflags::kDirect | flags,
            std::move(proxy),
            "<local>",
            std::move(script),
            std::vector<std::uint8_t>(32)};
}

TEST(ConnectionSettingsFinding, IsGoneAfterItsRepair) {
    const auto facts = factsOf(false);
    const ConnectionSettings cases[] = {
        switchedOn(connectionflags::kProxy, "127.0.0.1:3128", ""),
        switchedOn(connectionflags::kAutoConfigScript, "", "data:,x"),
        switchedOn(connectionflags::kProxy | connectionflags::kAutoConfigScript, "127.0.0.1:3128",
                   "http://wpad.corp.example/p.pac"),
    };
    for (const auto& settings : cases) {
        const auto found = assessConnectionSettings(settings, facts);
        ASSERT_TRUE(found.cleared().any());
        const auto after =
            assessConnectionSettings(repairedConnectionSettings(settings, found.cleared()), facts);
        EXPECT_FALSE(after.cleared().any());
        EXPECT_EQ(after.script, found.cleared().scriptAddress ? NetworkAssessment{} : found.script);
    }
}

TEST(ConnectionSettingsFinding, IgnoresEntriesThatAreSwitchedOff) {
    const auto settings = switchedOn(connectionflags::kAutoDetect, "127.0.0.1:3128", "data:,x");
    EXPECT_FALSE(assessConnectionSettings(settings, factsOf(false)).cleared().any());
}

TEST(WinHttpFinding, IsTheProxyWhenItIsNamed) {
    const WinHttpSettings named{0x28, 0, winhttpaccess::kNamedProxy, "127.0.0.1:3128", "", {}};
    EXPECT_EQ(assessWinHttpSettings(named, factsOf(false)).weight, kRepairable);
    EXPECT_EQ(assessWinHttpSettings(directWinHttpSettings(named), factsOf(false)).weight, kNone);
}

}  // namespace
}  // namespace tovask
