#include <gtest/gtest.h>

#include "repair/commands/BrowserOptions.h"
#include "repair/commands/ShortcutTarget.h"
#include "repair/shortcuts/ShortcutFinding.h"
#include "repair/shortcuts/ShortcutTexts.h"

namespace tovask::test {
namespace {

constexpr std::wstring_view kChrome = L"%ProgramFiles%\\Google\\Chrome\\Application\\chrome.exe";
constexpr std::wstring_view kFirefox = L"C:\\Program Files\\Mozilla Firefox\\firefox.exe";
constexpr std::wstring_view kExplorer = L"C:\\Program Files\\Internet Explorer\\iexplore.exe";
// Named as a browser's own, so that its addresses offend.
constexpr std::wstring_view kBrowsersOwnName = L"Google Chrome.lnk";

struct ArgumentsCase {
    std::string name;
    std::wstring_view target;
    std::wstring arguments;
    std::vector<std::wstring> offending;  // none: no finding
    std::wstring repaired;

    friend void PrintTo(const ArgumentsCase& c, std::ostream* out) { *out << c.name; }
};

class BrowserArguments : public testing::TestWithParam<ArgumentsCase> {};

TEST_P(BrowserArguments, LoseOnlyTheOffendingOnesAndTheRepairIsClean) {
    const auto& row = GetParam();
    const auto finding = examineShortcut({kBrowsersOwnName, row.target, row.arguments, L""});
    if (row.offending.empty()) {
        EXPECT_EQ(finding, std::nullopt);
        return;
    }
    ASSERT_TRUE(finding);
    EXPECT_TRUE(finding->repairable);
    EXPECT_EQ(finding->offendingArguments, row.offending);
    EXPECT_EQ(finding->repairedArguments, row.repaired);
    EXPECT_EQ(examineShortcut({kBrowsersOwnName, row.target, finding->repairedArguments, L""}),
              std::nullopt);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rules, BrowserArguments, testing::Values(
    ArgumentsCase{"Http", kChrome, L"http://buscar.example/?id=7", {L"http://buscar.example/?id=7"}, L""},
    ArgumentsCase{"HttpsInCapitals", kChrome, L"--incognito HTTPS://X.EXAMPLE", {L"HTTPS://X.EXAMPLE"}, L"--incognito"},
    ArgumentsCase{"Www", kChrome, L"www.buscar.example --incognito", {L"www.buscar.example"}, L"--incognito"},
    ArgumentsCase{"HostWithPathAndQuery", kChrome, L"--profile-directory=\"Profile 1\" search.example/?q=1", {L"search.example/?q=1"}, L"--profile-directory=\"Profile 1\""},
    ArgumentsCase{"HostOnly", kChrome, L"example.com", {L"example.com"}, L""},
    ArgumentsCase{"HostWithPort", kChrome, L"example.com:8080/inicio", {L"example.com:8080/inicio"}, L""},
    ArgumentsCase{"HostWithTheRootsDot", kChrome, L"--incognito buscar.example./?q=1", {L"buscar.example./?q=1"}, L"--incognito"},
    ArgumentsCase{"BareIpAddress", kChrome, L"192.168.1.1/admin --incognito", {L"192.168.1.1/admin"}, L"--incognito"},
    ArgumentsCase{"BareIpAddressWithPort", kExplorer, L"10.0.0.1:8080", {L"10.0.0.1:8080"}, L""},
    ArgumentsCase{"PageWrittenInTheAddress", kChrome, L"\"data:text/html,<script>location='//x.example'</script>\"", {L"\"data:text/html,<script>location='//x.example'</script>\""}, L""},
    ArgumentsCase{"ScriptAddressInCapitals", kFirefox, L"-private JAVASCRIPT:void(0)", {L"JAVASCRIPT:void(0)"}, L"-private"},
    ArgumentsCase{"QuotedWithAmpersands", kChrome, L"--incognito \"http://x.example/?a=1&b=2\"", {L"\"http://x.example/?a=1&b=2\""}, L"--incognito"},
    ArgumentsCase{"EscapedQuotesInAddress", kChrome, L"\"http://x.example/?q=\\\"a b\\\"\" --incognito", {L"\"http://x.example/?q=\\\"a b\\\"\""}, L"--incognito"},
    ArgumentsCase{"SeveralKeepTheirSpacing", kChrome, L"  http://a.example --profile-directory=Default   b.example\twww.c.example  --incognito ", {L"http://a.example", L"b.example", L"www.c.example"}, L"  --profile-directory=Default  --incognito "},
    ArgumentsCase{"LoadExtension", kChrome, L"--load-extension=\"C:\\Users\\u\\ext x\" --profile-directory=Default", {L"--load-extension=\"C:\\Users\\u\\ext x\""}, L"--profile-directory=Default"},
    ArgumentsCase{"DisableExtensionsExceptAnyCaseAndPrefix", kChrome, L"/Disable-Extensions-Except=C:\\e", {L"/Disable-Extensions-Except=C:\\e"}, L""},
    ArgumentsCase{"NewWindowOfChromiumTakesNoValue", kChrome, L"--new-window http://x.example", {L"http://x.example"}, L"--new-window"},
    ArgumentsCase{"WebApplication", kChrome, L"--profile-directory=Default --app-id=abcdefgh", {}, L""},
    ArgumentsCase{"WebApplicationOnAnAddress", kChrome, L"--profile-directory=Default /App=https://correo.example/", {L"/App=https://correo.example/"}, L"--profile-directory=Default"},
    ArgumentsCase{"WebApplicationOnALocalFile", kChrome, L"--app=file:///C:/paginas/app.html", {}, L""},
    ArgumentsCase{"ProxyAddressIsAnOptionValue", kChrome, L"--proxy-server=http://proxy.example:8080", {}, L""},
    ArgumentsCase{"ProfileAlone", kChrome, L"--profile-directory=Default", {}, L""},
    ArgumentsCase{"WindowsPathWithDots", kChrome, L"\"C:\\Users\\u\\Desktop\\v1.2\\inicio.html\"", {}, L""},
    ArgumentsCase{"RelativeLocalFile", kChrome, L"inicio.html", {}, L""},
    ArgumentsCase{"FileAddress", kChrome, L"file:///C:/paginas/inicio.html", {}, L""},
    ArgumentsCase{"NumbersWithDots", kChrome, L"1.5 2.0.1", {}, L""},
    ArgumentsCase{"NumbersBeyondAByte", kChrome, L"300.1.2.3", {}, L""},
    ArgumentsCase{"KioskOfExplorerTakesNoValue", kExplorer, L"-k http://x.example", {L"http://x.example"}, L"-k"},
    ArgumentsCase{"FirefoxUrlGoesWithItsAddress", kFirefox, L"-url http://x.example -private", {L"-url", L"http://x.example"}, L"-private"},
    ArgumentsCase{"FirefoxNewTabQuoted", kFirefox, L"-new-tab \"www.x.example\"", {L"-new-tab", L"\"www.x.example\""}, L""},
    ArgumentsCase{"FirefoxUrlWithItsValue", kFirefox, L"-url=http://x.example -private", {L"-url=http://x.example"}, L"-private"},
    ArgumentsCase{"FirefoxSlashUrlWithItsValue", kFirefox, L"/URL:x.example", {L"/URL:x.example"}, L""},
    ArgumentsCase{"FirefoxNewTabWithItsValueQuoted", kFirefox, L"--new-tab=\"www.x.example\"", {L"--new-tab=\"www.x.example\""}, L""},
    ArgumentsCase{"FirefoxNewWindowWithItsValue", kFirefox, L"-new-window=10.0.0.1", {L"-new-window=10.0.0.1"}, L""},
    ArgumentsCase{"FirefoxOsintUrlWithItsValue", kFirefox, L"-osint -url=x.example", {L"-osint", L"-url=x.example"}, L""},
    ArgumentsCase{"FirefoxPrivateWindowWithAnAddress", kFirefox, L"-private-window=x.example", {L"-private-window=x.example"}, L""},
    ArgumentsCase{"FirefoxOsintUrl", kFirefox, L"-osint -url x.example -private-window", {L"-osint", L"-url", L"x.example"}, L"-private-window"},
    ArgumentsCase{"FirefoxNewWindowLocalFile", kFirefox, L"-new-window file:///C:/a.html", {}, L""},
    ArgumentsCase{"FirefoxProfileNameIsNoAddress", kFirefox, L"-P \"perfil.com\" -private http://x.example", {L"http://x.example"}, L"-P \"perfil.com\" -private"},
    ArgumentsCase{"FirefoxProfileNameWithTheOption", kFirefox, L"--profile=perfil.com /P:perfil.com", {}, L""},
    ArgumentsCase{"OtherBrowsersKeepTheWholeOption", kChrome, L"--homepage=x.example /url:x.example", {}, L""}),
    [](const auto& info) { return info.param.name; });
// clang-format on

struct NameCase {
    std::string name;
    std::wstring_view fileName;
    std::wstring_view target;
    std::wstring_view arguments;
    ShortcutFinding expected;

    friend void PrintTo(const NameCase& c, std::ostream* out) { *out << c.name; }
};

class ShortcutName : public testing::TestWithParam<NameCase> {};

TEST_P(ShortcutName, DecidesWhetherItsAddressesAreRepairedOrReportedAsTheUsersOwn) {
    const auto& row = GetParam();
    EXPECT_EQ(examineShortcut({row.fileName, row.target, row.arguments, L""}), row.expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rules, ShortcutName, testing::Values(
    NameCase{"BrowsersOwn", L"Google Chrome.lnk", kChrome, L"https://buscar.example", {true, {L"https://buscar.example"}, L"", {}}},
    NameCase{"OwnInOtherCaseAndNumbered", L"MICROSOFT EDGE (2).LNK", L"msedge.exe", L"x.example", {true, {L"x.example"}, L"", {}}},
    NameCase{"OwnInSpanish", L"Navegación privada de Firefox.lnk", L"C:\\Program Files\\Mozilla Firefox\\private_browsing.exe", L"-url x.example", {true, {L"-url", L"x.example"}, L"", {}}},
    NameCase{"ProfilesOwn", L"Ana - Chrome.lnk", kChrome, L"--profile-directory=\"Profile 1\" x.example", {true, {L"x.example"}, L"--profile-directory=\"Profile 1\"", {}}},
    NameCase{"YandexsOwn", L"Yandex.lnk", L"%LOCALAPPDATA%\\Yandex\\YandexBrowser\\Application\\browser.exe", L"x.example", {true, {L"x.example"}, L"", {}}},
    NameCase{"VivaldisOwn", L"Vivaldi.lnk", L"C:\\Program Files\\Vivaldi\\Application\\vivaldi.exe", L"https://x.example", {true, {L"https://x.example"}, L"", {}}},
    NameCase{"UsersSite", L"Gmail.lnk", kChrome, L"https://mail.google.com", {false, {}, L"", {L"https://mail.google.com"}}},
    NameCase{"UsersWebApplication", L"Correo.lnk", L"msedge_proxy.exe", L"--profile-directory=Default --app=https://correo.example", {false, {}, L"", {L"--app=https://correo.example"}}},
    NameCase{"UsersCopy", L"Google Chrome - copia.lnk", kChrome, L"x.example", {false, {}, L"", {L"x.example"}}},
    NameCase{"UsersNameAroundTheBrowsers", L"Mi Firefox (trabajo).lnk", kFirefox, L"-new-tab https://noticias.example", {false, {}, L"", {L"-new-tab", L"https://noticias.example"}}},
    NameCase{"UsersSiteLosesOnlyExtensions", L"Gmail.lnk", kChrome, L"--load-extension=C:\\e https://mail.google.com", {true, {L"--load-extension=C:\\e"}, L"https://mail.google.com", {L"https://mail.google.com"}}}),
    [](const auto& info) { return info.param.name; });
// clang-format on

struct TargetCase {
    std::string name;
    std::wstring path;
    ShortcutTarget expected;

    friend void PrintTo(const TargetCase& c, std::ostream* out) { *out << c.name; }
};

class Target : public testing::TestWithParam<TargetCase> {};

TEST_P(Target, IsJudgedByItsFileName) {
    EXPECT_EQ(classifyShortcutTarget(GetParam().path), GetParam().expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Kinds, Target, testing::Values(
    TargetCase{"Chrome", std::wstring(kChrome), ShortcutTarget::ChromiumBrowser},
    TargetCase{"EdgeInCapitals", L"C:\\Program Files (x86)\\Microsoft\\Edge\\Application\\MSEDGE.EXE", ShortcutTarget::ChromiumBrowser},
    TargetCase{"EdgeProxy", L"C:\\Program Files (x86)\\Microsoft\\Edge\\Application\\msedge_proxy.exe", ShortcutTarget::ChromiumBrowser},
    TargetCase{"ChromeProxy", L"\"%ProgramFiles%\\Google\\Chrome\\Application\\chrome_proxy.exe\"", ShortcutTarget::ChromiumBrowser},
    TargetCase{"FirefoxPrivateBrowsing", L"C:\\Program Files\\Mozilla Firefox\\private_browsing.exe", ShortcutTarget::Firefox},
    TargetCase{"QuotedFirefox", L"\"" + std::wstring(kFirefox) + L"\"", ShortcutTarget::Firefox},
    TargetCase{"Explorer", L"%ProgramFiles%\\Internet Explorer\\iexplore.exe", ShortcutTarget::InternetExplorer},
    TargetCase{"OperaLauncher", L"%LOCALAPPDATA%\\Programs\\Opera\\launcher.exe", ShortcutTarget::ChromiumBrowser},
    TargetCase{"OperaGxLauncher", L"C:\\Users\\u\\AppData\\Local\\Programs\\Opera GX\\launcher.exe", ShortcutTarget::ChromiumBrowser},
    TargetCase{"Brave", L"C:\\Program Files\\BraveSoftware\\Brave-Browser\\Application\\brave.exe", ShortcutTarget::ChromiumBrowser},
    TargetCase{"Vivaldi", L"%LOCALAPPDATA%\\Vivaldi\\Application\\vivaldi.exe", ShortcutTarget::ChromiumBrowser},
    TargetCase{"ChromiumsOwnName", L"D:\\Chromium\\chromium.exe", ShortcutTarget::ChromiumBrowser},
    TargetCase{"OtherLauncher", L"C:\\Juegos\\launcher.exe", ShortcutTarget::Other},
    TargetCase{"YandexBrowser", L"C:\\Program Files (x86)\\Yandex\\YandexBrowser\\Application\\BROWSER.EXE", ShortcutTarget::ChromiumBrowser},
    TargetCase{"OtherBrowserExe", L"C:\\Juegos\\browser.exe", ShortcutTarget::Other},
    TargetCase{"BrowserNameInsideAnother", L"C:\\Tools\\notchrome.exe", ShortcutTarget::Other},
    TargetCase{"PowerShell", L"%SystemRoot%\\System32\\WindowsPowerShell\\v1.0\\powershell.exe", ShortcutTarget::ScriptHost},
    TargetCase{"Mshta", L"C:\\Windows\\SysWOW64\\mshta.exe", ShortcutTarget::ScriptHost},
    TargetCase{"VbsInCapitals", L"C:\\Users\\u\\AppData\\Roaming\\abrir.VBS", ShortcutTarget::ScriptHost},
    TargetCase{"BatchFile", L"C:\\x\\inicio.cmd", ShortcutTarget::ScriptHost},
    TargetCase{"Empty", L"", ShortcutTarget::Other}),
    [](const auto& info) { return info.param.name; });
// clang-format on

struct NamedBrowserCase {
    std::string name;
    std::wstring_view path;
    std::wstring_view browser;

    friend void PrintTo(const NamedBrowserCase& c, std::ostream* out) { *out << c.name; }
};

class BrowserName : public testing::TestWithParam<NamedBrowserCase> {};

TEST_P(BrowserName, IsTheFoldersWhereTheFileNameIsShared) {
    EXPECT_EQ(browserNameOf(GetParam().path), GetParam().browser);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Programs, BrowserName, testing::Values(
    NamedBrowserCase{"Chrome", kChrome, L"Google Chrome"},
    NamedBrowserCase{"ChromeInAChromiumFolder", L"%LOCALAPPDATA%\\Chromium\\Application\\chrome.exe", L"Chromium"},
    NamedBrowserCase{"OperaGxLauncher", L"C:\\Users\\u\\AppData\\Local\\Programs\\Opera GX\\launcher.exe", L"Opera"},
    NamedBrowserCase{"YandexBrowser", L"\"C:\\Users\\u\\AppData\\Local\\Yandex\\YandexBrowser\\Application\\browser.exe\"", L"Yandex Browser"},
    NamedBrowserCase{"BrowserExeElsewhere", L"D:\\Tienda\\browser.exe", L""}),
    [](const auto& info) { return info.param.name; });
// clang-format on

struct ScriptCase {
    std::string name;
    std::wstring_view fileName;
    std::wstring_view target;
    std::wstring_view arguments;
    std::wstring_view iconPath;
    std::vector<std::wstring> reported;  // none: no finding

    friend void PrintTo(const ScriptCase& c, std::ostream* out) { *out << c.name; }
};

class ScriptHostPosingAsBrowser : public testing::TestWithParam<ScriptCase> {};

TEST_P(ScriptHostPosingAsBrowser, IsOnlyReported) {
    const auto& row = GetParam();
    const auto finding = examineShortcut({row.fileName, row.target, row.arguments, row.iconPath});
    if (row.reported.empty()) {
        EXPECT_EQ(finding, std::nullopt);
        return;
    }
    ASSERT_TRUE(finding);
    EXPECT_EQ(*finding, (ShortcutFinding{false, row.reported, L"", {}}));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rules, ScriptHostPosingAsBrowser, testing::Values(
    ScriptCase{"NamedAsChrome", L"Google Chrome.lnk", L"C:\\Windows\\System32\\cmd.exe", L"/c start \"\" \"http://x.example\"", L"", {L"\"http://x.example\""}},
    ScriptCase{"IconedAsFirefox", L"Navegar.lnk", L"wscript.exe", L"\"C:\\Users\\u\\abrir.vbs\" www.x.example", kFirefox, {L"www.x.example"}},
    ScriptCase{"AddressInsideACommand", L"Microsoft Edge.lnk", L"powershell.exe", L"-w hidden -c \"Start-Process 'x.example'\"", L"", {L"\"Start-Process 'x.example'\""}},
    ScriptCase{"NamedAsYandex", L"Yandex.lnk", L"cmd.exe", L"/c start http://x.example", L"", {L"http://x.example"}},
    ScriptCase{"NameOnlyInsideAWord", L"Knowledge.lnk", L"cmd.exe", L"/c start http://x.example", L"C:\\Windows\\System32\\shell32.dll", {}},
    ScriptCase{"NoAddress", L"Opera.lnk", L"C:\\x\\inicio.bat", L"\"C:\\x\\setup.js\" 1.5", L"", {}}),
    [](const auto& info) { return info.param.name; });
// clang-format on

// What another kind may link to the browser's shortcut, never its report line.
TEST(ExtensionFolders, AreTheListsOfTheExtensionLoadingOptions) {
    using Folders = std::vector<std::wstring>;
    EXPECT_EQ(extensionFoldersOf(L"--load-extension=C:\\a,D:\\b c,,"),
              (Folders{L"C:\\a", L"D:\\b c"}));
    EXPECT_EQ(extensionFoldersOf(L"/Disable-Extensions-Except=C:\\e"), Folders{L"C:\\e"});
    for (const auto other :
         {L"--load-extension-x=C:\\a", L"--app=https://a.example", L"C:\\a", L"-load-extension="}) {
        EXPECT_EQ(extensionFoldersOf(other), Folders{}) << testing::PrintToString(other);
    }
}

TEST(ShortcutFindingReport, NamesTheArgumentsAndSaysWhenItIsOnlyReported) {
    const ShortcutFinding reportOnly{false, {L"/c", L"http://x.example"}, L"", {}};
    EXPECT_EQ(describeShortcutFinding(reportOnly),
              std::wstring(texts::kShortcutScriptOpensAddressPrefix) + L"/c http://x.example" +
                  std::wstring(texts::kShortcutReportOnlySuffix));
    const ShortcutFinding withSite{true, {L"--load-extension=C:\\e"}, L"a.example", {L"a.example"}};
    EXPECT_EQ(describeShortcutFinding(withSite),
              std::wstring(texts::kShortcutAddedArgumentsPrefix) + L"--load-extension=C:\\e; " +
                  std::wstring(texts::kShortcutOpensSitePrefix) + L"a.example" +
                  std::wstring(texts::kShortcutOwnSiteSuffix));
}

}  // namespace
}  // namespace tovask::test
