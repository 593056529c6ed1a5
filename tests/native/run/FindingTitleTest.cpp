// Each finding's title says in plain words what it does to the person, with
// its value, under the browser or the place it is about.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "repair/findings/FindingKinds.h"
#include "repair/findings/FindingWords.h"
#include "repair/findings/FindingsRun.h"
#include "repair/grouppolicy/PolicyFileFormat.h"
#include "tests/native/PublishedRoot.h"
#include "tests/native/RepairFixture.h"
#include "text/RegistryEncoding.h"

namespace tovask::test {
namespace {

const std::wstring kChrome = L"HKLM\\Software\\Policies\\Google\\Chrome\\";
const std::wstring kFirefox = L"HKLM\\Software\\Policies\\Mozilla\\Firefox\\";
const std::wstring kSettings =
    L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\";
const std::wstring kShellFolders =
    L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders\\";
const std::wstring kChromeExe = L"C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe";
const std::wstring kForcedId = L"aaaabbbbccccddddeeeeffffgggghhhh";

void text(fake::FakePlatform& platform, const std::wstring& path, std::wstring_view value) {
    platform.RegWrite(path, value, RegistryType::String);
}

void number(fake::FakePlatform& platform, const std::wstring& path, int value) {
    platform.RegWrite(path, value, RegistryType::Dword);
}

void firefoxFile(fake::FakePlatform& platform, std::string_view json) {
    text(platform, L"HKLM\\SOFTWARE\\Mozilla\\Mozilla Firefox\\115.0\\Main\\Install Directory",
         L"D:\\Firefox");
    platform.files.addFile(L"D:\\Firefox\\distribution\\policies.json", json);
}

void shortcut(fake::FakePlatform& platform, std::wstring_view folderName,
              const std::wstring& folder, const std::wstring& name, const std::wstring& target,
              std::wstring_view arguments) {
    text(platform, kShellFolders + std::wstring(folderName), folder);
    platform.files.addFile(folder + L"\\" + name,
                           fake::fakeShortcutBytes({target, std::wstring(arguments), L"C:\\",
                                                    target, 0, 0, 1, L"", L""}));
}

struct TitleRow {
    const char* name;
    FindingKind kind;
    std::function<void(fake::FakePlatform&)> seed;
    std::wstring_view title;
    std::wstring_view group;
};

const TitleRow kRows[] = {
    {"HomePagePolicy", FindingKind::BrowserPolicy,
     [](auto& p) { text(p, kChrome + L"HomepageLocation", L"http://inicio.example"); },
     L"Página de inicio impuesta: http://inicio.example", L"Google Chrome"},
    {"HomePageIsNewTab", FindingKind::BrowserPolicy,
     [](auto& p) { number(p, kChrome + L"HomepageIsNewTabPage", 1); },
     L"Página de inicio impuesta: la página de nueva pestaña", L"Google Chrome"},
    {"NewTabPagePolicy", FindingKind::BrowserPolicy,
     [](auto& p) { text(p, kChrome + L"NewTabPageLocation", L"http://pestana.example"); },
     L"Página de nueva pestaña impuesta: http://pestana.example", L"Google Chrome"},
    {"StartupPagesNumber", FindingKind::BrowserPolicy,
     [](auto& p) { number(p, kChrome + L"RestoreOnStartup", 4); },
     L"Páginas que se abren al iniciar: las que fija la directiva", L"Google Chrome"},
    {"StartupPageListed", FindingKind::BrowserPolicy,
     [](auto& p) { text(p, kChrome + L"RestoreOnStartupURLs\\1", L"http://uno.example"); },
     L"Página que se abre al iniciar: http://uno.example", L"Google Chrome"},
    {"SearchEngineWithItsName", FindingKind::BrowserPolicy,
     [](auto& p) {
         text(p, kChrome + L"DefaultSearchProviderName", L"Buscador Ofertas");
         text(p, kChrome + L"DefaultSearchProviderSearchURL", L"http://ofertas.example/?q=x");
     },
     L"Buscador impuesto: Buscador Ofertas (http://ofertas.example/?q=x)", L"Google Chrome"},
    {"SearchEngineName", FindingKind::BrowserPolicy,
     [](auto& p) { text(p, kChrome + L"DefaultSearchProviderName", L"Buscador Ofertas"); },
     L"Nombre del buscador impuesto: Buscador Ofertas", L"Google Chrome"},
    {"SearchLocked", FindingKind::BrowserPolicy,
     [](auto& p) { number(p, kChrome + L"DefaultSearchProviderEnabled", 1); },
     L"Buscador: no se puede cambiar", L"Google Chrome"},
    {"SearchTurnedOff", FindingKind::BrowserPolicy,
     [](auto& p) { number(p, kChrome + L"DefaultSearchProviderEnabled", 0); },
     L"Búsqueda desde la barra de direcciones: desactivada", L"Google Chrome"},
    {"SearchNumberWithoutWords", FindingKind::BrowserPolicy,
     [](auto& p) { number(p, kChrome + L"DefaultSearchProviderEnabled", 7); },
     L"Ajuste impuesto por una directiva: DefaultSearchProviderEnabled = 7", L"Google Chrome"},
    {"ForcedExtensionById", FindingKind::BrowserPolicy,
     [](auto& p) {
         text(p, kChrome + L"ExtensionInstallForcelist\\1", kForcedId + L";https://x.example/u");
     },
     L"Extensión instalada a la fuerza: aaaabbbbccccddddeeeeffffgggghhhh", L"Google Chrome"},
    {"ProxyPolicy", FindingKind::BrowserPolicy,
     [](auto& p) { text(p, kChrome + L"ProxyServer", L"127.0.0.1:8877"); },
     L"Proxy impuesto: 127.0.0.1:8877", L"Google Chrome"},
    {"PolicyWithoutWords", FindingKind::BrowserPolicy,
     [](auto& p) { text(p, kChrome + L"ProxyMode", L"fixed_servers"); },
     L"Ajuste impuesto por una directiva: ProxyMode = fixed_servers", L"Google Chrome"},
    {"UnreadablePolicy", FindingKind::BrowserPolicy,
     [](auto& p) { text(p, kChrome + L"ExtensionSettings", L"{"); },
     L"Directiva que el navegador no puede leer: ExtensionSettings", L"Google Chrome"},
    {"FirefoxHomePageKey", FindingKind::BrowserPolicy,
     [](auto& p) { text(p, kFirefox + L"Homepage\\URL", L"http://inicio.example"); },
     L"Página de inicio impuesta: http://inicio.example", L"Mozilla Firefox"},
    {"FirefoxHomePageLocked", FindingKind::BrowserPolicy,
     [](auto& p) { number(p, kFirefox + L"Homepage\\Locked", 1); },
     L"Página de inicio: no se puede cambiar", L"Mozilla Firefox"},
    {"FirefoxAddedSearchEngine", FindingKind::BrowserPolicy,
     [](auto& p) {
         text(p, kFirefox + L"SearchEngines\\Add\\1\\Name", L"Ofertas");
         text(p, kFirefox + L"SearchEngines\\Add\\1\\URLTemplate", L"http://ofertas.example/?q=x");
     },
     L"Buscador añadido: Ofertas (http://ofertas.example/?q=x)", L"Mozilla Firefox"},
    {"FirefoxFileHomePage", FindingKind::BrowserPolicy,
     [](auto& p) {
         firefoxFile(p, R"({"policies": {"Homepage": {"URL": "http://inicio.example"}}})");
     },
     L"Página de inicio impuesta: http://inicio.example", L"Mozilla Firefox"},
    {"FirefoxFileLockedExtension", FindingKind::BrowserPolicy,
     [](auto& p) { firefoxFile(p, R"({"policies": {"Extensions": {"Locked": ["a@x"]}}})"); },
     L"Extensión que no se puede quitar: a@x", L"Mozilla Firefox"},
    {"FirefoxFileWholePolicy", FindingKind::BrowserPolicy,
     [](auto& p) { firefoxFile(p, R"({"policies": {"NewTabPage": false}})"); },
     L"Ajuste impuesto por una directiva: NewTabPage = false", L"Mozilla Firefox"},
    {"LocalPolicyFile", FindingKind::LocalPolicyFile,
     [](auto& p) {
         p.files.addFile(
             L"C:\\WINDOWS\\Sysnative\\GroupPolicy\\Machine\\Registry.pol",
             std::string("PReg\x01\x00\x00\x00", 8) +
                 policyEntryBytes(L"Software\\Policies\\Google\\Chrome\\ExtensionInstallForcelist",
                                  L"1", stringValue(kForcedId + L";https://x.example/u")));
     },
     L"Extensión instalada a la fuerza: aaaabbbbccccddddeeeeffffgggghhhh", L"Google Chrome"},
    {"ProxyNobodyListens", FindingKind::Network,
     [](auto& p) {
         number(p, kSettings + L"ProxyEnable", 1);
         text(p, kSettings + L"ProxyServer", L"127.0.0.1:8877");
     },
     L"Proxy que no funciona: 127.0.0.1:8877", L"Proxy y DNS"},
    {"ProxyElsewhere", FindingKind::Network,
     [](auto& p) {
         number(p, kSettings + L"ProxyEnable", 1);
         text(p, kSettings + L"ProxyServer", L"proxy.example:8080");
     },
     L"Proxy en otro equipo: proxy.example:8080", L"Proxy y DNS"},
    {"ScriptInTheAddress", FindingKind::Network,
     [](auto& p) { text(p, kSettings + L"AutoConfigURL", L"data:,x"); },
     L"Script de proxy: escrito en la propia dirección", L"Proxy y DNS"},
    {"ScriptOnTheInternet", FindingKind::Network,
     [](auto& p) { text(p, kSettings + L"AutoConfigURL", L"http://pac.example/p.pac"); },
     L"Script de proxy en Internet: http://pac.example/p.pac", L"Proxy y DNS"},
    {"HijackersDns", FindingKind::Network,
     [](auto& p) {
         text(p, L"HKLM\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\NameServer",
              L"85.255.112.1,8.8.8.8");
     },
     L"DNS de secuestradores: 85.255.112.1, 8.8.8.8", L"Proxy y DNS"},
    {"RouterDns", FindingKind::Network,
     [](auto& p) {
         text(p, L"HKLM\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\DhcpNameServer",
              L"192.168.1.1");
     },
     L"DNS del router: 192.168.1.1", L"Proxy y DNS"},
    {"DesktopShortcut", FindingKind::Shortcut,
     [](auto& p) {
         shortcut(p, L"Common Desktop", L"C:\\Users\\Public\\Desktop", L"Google Chrome.lnk",
                  kChromeExe, L"http://inicio.example");
     },
     L"Acceso directo «Google Chrome» del Escritorio abre http://inicio.example", L"Google Chrome"},
    {"StartMenuShortcut", FindingKind::Shortcut,
     [](auto& p) {
         shortcut(p, L"Common Programs", L"C:\\ProgramData\\Menu\\Programs", L"Google Chrome.lnk",
                  kChromeExe, L"--load-extension=C:\\x");
     },
     L"Acceso directo «Google Chrome» del menú Inicio abre --load-extension=C:\\x",
     L"Google Chrome"},
    {"RootCertificate", FindingKind::InterceptionRoot,
     [](auto& p) {
         p.registry.writeRaw(
             L"HKLM\\SOFTWARE\\Microsoft\\SystemCertificates\\ROOT\\Certificates\\" +
                 std::wstring(kPublishedThumbprint) + L"\\",
             L"Blob", publishedRootBlob(), RegistryView::Default);
     },
     L"Certificado raíz que lee las páginas seguras: Superfish, Inc.", L"Certificados"},
    {"Debugger", FindingKind::BrowserDebugger,
     [](auto& p) {
         text(p,
              L"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution "
              L"Options\\msedge.exe\\Debugger",
              L"C:\\x\\y.exe");
     },
     L"Programa que se abre en lugar de Microsoft Edge: C:\\x\\y.exe", L"Microsoft Edge"},
    {"Restriction", FindingKind::IeRestriction,
     [](auto& p) {
         number(p,
                L"HKLM\\Software\\Policies\\Microsoft\\Internet Explorer\\Restrictions\\"
                L"NoBrowserOptions",
                1);
     },
     L"Opción de Internet Explorer bloqueada: oculta «Opciones de Internet»", L"Internet Explorer"},
    {"RegistryExtension", FindingKind::RegistryExtension,
     [](auto& p) {
         text(p,
              L"HKLM\\Software\\Google\\Chrome\\Extensions\\ppppooookkkkjjjjiiiihhhhggggffff\\"
              L"update_url",
              L"https://ads.example/crx");
     },
     L"Extensión instalada desde fuera de la tienda: ppppooookkkkjjjjiiiihhhhggggffff",
     L"Google Chrome"},
    {"ProfileSearch", FindingKind::ProfilePreference,
     [](auto& p) {
         p.files.addFile(
             L"C:\\Users\\ana\\AppData\\Local\\Google\\Chrome\\User Data\\Default\\Preferences",
             R"({"default_search_provider_data":{"template_url_data":)"
             R"({"url":"https://buscar.example/?q={searchTerms}"}}})");
     },
     L"Buscador cambiado: https://buscar.example/?q={searchTerms}",
     L"Google Chrome, perfil Default"},
    {"RunValueOpeningABrowser", FindingKind::Startup,
     [](auto& p) {
         text(p, L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\Inicio",
              L"chrome.exe https://buscar.example");
     },
     L"Programa que se inicia solo: chrome.exe https://buscar.example", L"Google Chrome"},
    {"RunValueOfAScript", FindingKind::Startup,
     [](auto& p) {
         text(p, L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\Inicio",
              L"wscript.exe C:\\Users\\ana\\AppData\\Roaming\\carga.vbs");
     },
     L"Programa que se inicia solo: wscript.exe C:\\Users\\ana\\AppData\\Roaming\\carga.vbs",
     L"Inicio de Windows"},
    {"ScheduledTask", FindingKind::Startup,
     [](auto& p) {
         p.files.addFile(L"C:\\WINDOWS\\Sysnative\\Tasks\\ChromeLoader",
                         fake::fakeTaskBytes({true, {{kChromeExe, L"--load-extension=C:\\x"}}}));
     },
     L"Tarea programada «ChromeLoader» que abre el navegador en una página o con una extensión",
     L"Google Chrome"},
};

class FindingTitles : public testing::TestWithParam<TitleRow> {};

// The findings of the row's kind on a machine seeded with the row alone.
std::vector<Finding> findingsOf(const TitleRow& row) {
    RepairBench bench;
    text(bench.platform,
         L"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\" +
             bench.platform.programUserSid + L"\\ProfileImagePath",
         L"C:\\Users\\ana");
    row.seed(bench.platform);
    FailureLog failures(bench.platform);
    const std::vector<std::wstring> hives = {L"HKCU"};
    auto all = lookForFindings(bench.platform, {}, hives, false, failures).all();
    std::erase_if(all, [&](const Finding& finding) { return finding.kind != row.kind; });
    return all;
}

TEST_P(FindingTitles, SayWhatTheFindingDoesUnderItsBrowserOrPlace) {
    const auto& row = GetParam();
    std::vector<std::pair<std::wstring, std::wstring>> found;
    for (const auto& finding : findingsOf(row)) {
        found.emplace_back(findingTitle(finding), finding.group);
    }
    const std::pair<std::wstring, std::wstring> expected{row.title, row.group};
    EXPECT_TRUE(std::ranges::find(found, expected) != found.end()) << testing::PrintToString(found);
}

INSTANTIATE_TEST_SUITE_P(EachSubjectAndJudgement, FindingTitles, testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

// A heading names the kind; each of its findings is grouped by what it is about.
TEST(FindingTitles, NoKindsHeadingIsTheGroupOfItsFindings) {
    for (const auto& row : kRows) {
        for (const auto& finding : findingsOf(row)) {
            for (const auto* kind : findingKinds()) {
                if (kind->kind == finding.kind) {
                    EXPECT_NE(finding.group + L":", kind->texts.heading) << row.name;
                }
            }
        }
    }
}

}  // namespace
}  // namespace tovask::test
