#include <algorithm>
#include <array>

#include "repair/preferences/ChromiumSkim.h"
#include "repair/preferences/FirefoxPreferences.h"
#include "repair/preferences/ProfilePreferences.h"
#include "tests/native/RepairFixture.h"

namespace tovask::test {
namespace {

const std::vector<std::wstring> kWritable = {L"C:\\Users\\ana"};

struct PreferencesCase {
    std::string name;
    bool chromium;
    std::string text;
    std::vector<std::wstring> found;
};

class ProfileFile : public testing::TestWithParam<PreferencesCase> {};

TEST_P(ProfileFile, ListsWhatAHijackerSets) {
    const auto reading = GetParam().chromium ? readChromiumPreferences(GetParam().text, kWritable)
                                             : readFirefoxPreferences(GetParam().text);
    EXPECT_TRUE(reading.error.empty());
    std::vector<std::wstring> texts;
    std::ranges::transform(reading.found, std::back_inserter(texts), &FoundPreference::text);
    EXPECT_EQ(texts, GetParam().found);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Files, ProfileFile,
    testing::Values(
        PreferencesCase{"ForeignSearchAndStartUpPages", true,
                        R"({"session":{"restore_on_startup":4,"startup_urls":["http://inicio.example/","chrome://newtab/"]},)"
                        R"("default_search_provider_data":{"template_url_data":{"url":"https://buscar.example/?q={searchTerms}"}}})",
                        {L"página de inicio: http://inicio.example/", L"buscador predeterminado: https://buscar.example/?q={searchTerms}"}},
        PreferencesCase{"KnownSearchEngines", true,
                        R"({"default_search_provider_data":{"template_url_data":{"url":"https://www.google.es/search?q={searchTerms}"}},)"
                        R"("default_search_provider":{"search_url":"https://search.yahoo.co.jp/search?p={searchTerms}"}})",
                        {}},
        PreferencesCase{"SearchEnginesNameInAnotherDomain", true,
                        R"({"default_search_provider_data":{"template_url_data":{"url":"https://google.buscar.example/?q={searchTerms}"}}})",
                        {L"buscador predeterminado: https://google.buscar.example/?q={searchTerms}"}},
        PreferencesCase{"StartUpPagesUnused", true,
                        R"({"session":{"restore_on_startup":1,"startup_urls":["http://inicio.example/"]}})", {}},
        PreferencesCase{"HomePage", true, R"({"homepage":"http://inicio.example","homepage_is_newtabpage":false})",
                        {L"página principal: http://inicio.example"}},
        PreferencesCase{"HomeButtonOpensTheNewTabPage", true, R"({"homepage":"http://inicio.example","homepage_is_newtabpage":true})", {}},
        PreferencesCase{"UnpackedExtensions", true,
                        R"({"extensions":{"settings":{"aaaa":{"location":4,"path":"C:\\Users\\ana\\AppData\\Local\\ext"},)"
                        R"("bbbb":{"location":4,"path":"C:\\Program Files\\Herramienta\\ext"},)"
                        R"("cccc":{"location":1,"path":"cccc\\1.0_0"}}}})",
                        {L"extensión cargada desde una carpeta que el usuario puede modificar: aaaa (C:\\Users\\ana\\AppData\\Local\\ext)"}},
        PreferencesCase{"FirefoxHomePages", false,
                        "user_pref(\"browser.startup.homepage\", \"http://a.example|about:home|https://b.example\");\n"
                        "user_pref('browser.newtab.url', 'http://nueva.example/\\'x');\n",
                        {L"página principal: http://a.example", L"página principal: https://b.example",
                         L"página de nueva pestaña: http://nueva.example/'x"}},
        PreferencesCase{"FirefoxKeywordSearch", false,
                        "user_pref(\"keyword.URL\", \"http://buscar.example/?q=\");\n"
                        "pref(\"browser.search.defaulturl\", \"https://www.bing.com/search?q=\");\n",
                        {L"buscador predeterminado: http://buscar.example/?q="}},
        // Escapes are taken as Firefox takes them; a statement it refuses is passed over to its ';'.
        PreferencesCase{"FirefoxUnicodeEscape", false, R"(user_pref("browser.startup.homepage", "\u0068ttps://hijack.example");)",
                        {L"página principal: https://hijack.example"}},
        PreferencesCase{"FirefoxByteEscapes", false, R"(user_pref("browser.startup.home\x70age", "\x68ttps://hijack.example");)",
                        {L"página principal: https://hijack.example"}},
        PreferencesCase{"FirefoxSurrogatePair", false, R"(user_pref("browser.newtab.url", "https://hijack.example/\uD83D\uDE00");)",
                        {L"página de nueva pestaña: https://hijack.example/\U0001F600"}},
        PreferencesCase{"FirefoxLineBreakEscapes", false, R"(user_pref("browser.newtab.url", "https://hijack.example/\n\r");)",
                        {L"página de nueva pestaña: https://hijack.example/\n\r"}},
        PreferencesCase{"FirefoxQuoteEscapes", false, R"(user_pref("browser.newtab.url", 'https://hijack.example/\"\'\\');)",
                        {L"página de nueva pestaña: https://hijack.example/\"'\\"}},
        PreferencesCase{"FirefoxUnknownEscape", false,
                        R"(user_pref("browser.startup.homepage", "https://x.example/\t"); user_pref("browser.newtab.url", "https://hijack.example");)",
                        {L"página de nueva pestaña: https://hijack.example"}},
        PreferencesCase{"FirefoxShortByteEscape", false, R"(user_pref("browser.startup.homepage", "https://x.example/\x4");)", {}},
        PreferencesCase{"FirefoxEscapedNulByte", false, R"(user_pref("browser.startup.homepage", "https://x.example/\x00");)", {}},
        PreferencesCase{"FirefoxShortUnicodeEscape", false, R"(user_pref("browser.startup.homepage", "https://x.example/\u12");)", {}},
        PreferencesCase{"FirefoxEscapedNulUnit", false, R"(user_pref("browser.startup.homepage", "https://x.example/\u0000");)", {}},
        PreferencesCase{"FirefoxLoneHighSurrogate", false, R"(user_pref("browser.startup.homepage", "https://x.example/\uD83D");)", {}},
        PreferencesCase{"FirefoxLoneLowSurrogate", false, R"(user_pref("browser.startup.homepage", "https://x.example/\uDE00");)", {}},
        PreferencesCase{"FirefoxHighSurrogateBeforeAnotherUnit", false, R"(user_pref("browser.startup.homepage", "https://x.example/\uD83D\u0041");)", {}},
        PreferencesCase{"FirefoxHighSurrogateTakesTheBackslashAfterIt", false,
                        R"(user_pref("browser.startup.homepage", "https://x.example/\uD83D\"); user_pref("browser.newtab.url", "https://hijack.example");)",
                        {L"página de nueva pestaña: https://hijack.example"}},
        PreferencesCase{"FirefoxLineBreakAfterABackslash", false, "user_pref(\"browser.startup.homepage\", \"https://x.example/\\\n\");", {}},
        PreferencesCase{"FirefoxOtherValuesAndStrayCharacters", false,
                        R"(user_pref("browser.startup.homepage", 1); @ user_pref("browser.newtab.url", "https://x.example");)"
                        R"(user_pref("browser.newtab.url", true); user_pref("keyword.URL", "https://buscar.example/?q=");)",
                        {L"buscador predeterminado: https://buscar.example/?q="}},
        PreferencesCase{"FirefoxLoneSlashTakesTheSemicolon", false,
                        R"(user_pref("a", 1) /; user_pref("browser.startup.homepage", "https://x.example"); user_pref("browser.newtab.url", "https://hijack.example");)",
                        {L"página de nueva pestaña: https://hijack.example"}},
        PreferencesCase{"FirefoxUnclosedComment", false,
                        R"(user_pref("browser.newtab.url", "https://hijack.example"); /* user_pref("browser.startup.homepage", "https://x.example");)",
                        {L"página de nueva pestaña: https://hijack.example"}},
        PreferencesCase{"FirefoxCommentsBetweenParts", false,
                        "\xEF\xBB\xBFuser_pref /* a */ ( // b\n\"browser.startup.homepage\" # c\n, \"https://hijack.example\") ;",
                        {L"página principal: https://hijack.example"}},
        PreferencesCase{"FirefoxCommentedOutOrNotUserPref", false,
                        R"(// user_pref("browser.startup.homepage", "https://x.example");)" "\n"
                        R"(pref("browser.newtab.url", "https://x.example"); sticky_pref("browser.newtab.url", "https://x.example");)",
                        {}},
        PreferencesCase{"FirefoxNulEndsTheFile", false,
                        std::string(1, '\0') + R"(user_pref("browser.startup.homepage", "https://x.example");)", {}},
        // As the browser reads a repeated name: its last value, in its first place.
        PreferencesCase{"RepeatedNamesTakeTheirLastValue", true,
                        R"({"session":{"restore_on_startup":4,"startup_urls":["http://viejo.example"]},"homepage":"http://viejo.example",)"
                        R"("extensions":{"settings":{"aaaa":{"location":1,"path":"C:\\Users\\ana\\a"},"bbbb":{"location":"4","path":"C:\\Users\\ana\\b"}}},)"
                        R"("session":{"restore_on_startup":4,"startup_urls":["http://nuevo.example"]},"homepage":7,)"
                        R"("extensions":{"settings":{"aaaa":{"location":4,"path":"C:\\Program Files\\a"},"aaaa":{"location":8,"path":"C:\\Users\\ana\\a2"}}}})",
                        {L"página de inicio: http://nuevo.example",
                         L"extensión cargada desde una carpeta que el usuario puede modificar: aaaa (C:\\Users\\ana\\a2)"}},
        PreferencesCase{"NamesOnlyAtTheirOwnPlace", true,
                        R"({"padding":[{"homepage":"http://oculto.example"}],"session":[{"restore_on_startup":4,"startup_urls":["http://oculto.example"]}],)"
                        R"("default_search_provider":{"search_url":{"url":"http://oculto.example"}}})",
                        {}}),
    [](const testing::TestParamInfo<PreferencesCase>& info) { return info.param.name; });
// clang-format on

TEST(ProfileFile, ThatIsNotAJsonObjectIsAnError) {
    for (const auto& text : std::vector<std::string>{
             "{\"homepage\":", "[]", "\"texto\"", R"({"a":"\udc00"})", std::string("{}\0{}", 5),
             std::string(201, '[') + std::string(201, ']')}) {
        EXPECT_FALSE(readChromiumPreferences(text, kWritable).error.empty()) << text;
    }
}

// Most of a file is passed over in one fast pass, which still refuses what
// the browser's reader refuses there; a name written with escapes is read whole.
TEST(ProfileFile, AFaultInWhatIsPassedOverIsAnErrorAndEscapedNamesAreRead) {
    for (const std::string& fault :
         std::vector<std::string>{R"("\udc00")", "\"\xC0\x80\"", "\"\x01\"", "[}", "\"a",
                                  std::string("1\0", 2), "\"\\x41\"", "@"}) {
        const auto text = R"({"homepage":"http://inicio.example","relleno":[)" + fault + "]}";
        EXPECT_FALSE(readChromiumPreferences(text, kWritable).error.empty()) << fault;
    }
    EXPECT_EQ(readChromiumPreferences(R"({"home\u0070age":"http://inicio.example","a":"\u00e9"})",
                                      kWritable)
                  .found.size(),
              1u);
}

// The fast pass reads many bytes at once where it can: wherever a fault, an
// escape or a UTF-8 sequence falls among them, and however a text with
// closers in it is cut, it refuses the fault (the full reader then reads the
// file) and otherwise finds the home page after them.
TEST(ProfileFile, FastPassIsAlikeWhereverAFaultOrAnEscapeFalls) {
    struct Piece {
        std::string text;
        bool fault;
    };
    const std::vector<Piece> pieces = {{"\"\x01\"", true},
                                       {"\"\xC0\x80\"", true},
                                       {"@", true},
                                       {"[}", true},
                                       {R"("\udc00")", true},
                                       {R"("\x41")", true},
                                       {R"("\u00e9\"\\")", false},
                                       {"\"\xC3\xA9\"", false},
                                       {R"({"a":[1,-2.5e3,true,null]})", false},
                                       {R"("}]\\")", false}};
    constexpr std::array<std::string_view, 1> kHomePage = {"homepage"};
    for (const auto& piece : pieces) {
        for (std::size_t offset = 0; offset < 40; ++offset) {
            const auto text = R"({"relleno":[")" + std::string(offset, '}') + "\"," + piece.text +
                              ",\"" + std::string(40, ']') +
                              R"("],"homepage":"http://inicio.example"})";
            EXPECT_EQ(wantedMembersOf(text, kHomePage),
                      piece.fault
                          ? std::nullopt
                          : std::optional<std::string>(R"({"homepage":"http://inicio.example"})"))
                << piece.text << " " << offset;
        }
    }
}

// Between strings the fast pass lets through what numbers, literals, blanks,
// commas and colons are made of, and within them every byte but a control
// character (and one above ASCII that begins no UTF-8 sequence); it refuses
// the rest wherever it falls among the bytes it reads at once.
TEST(ProfileFile, FastPassJudgesEveryByteWithinAndBetweenStrings) {
    constexpr std::string_view kBetween = " \t\r\n,:+-.0123456789abcdefghijklmnopqrstuvwxyz";
    constexpr std::array<std::string_view, 1> kHomePage = {"homepage"};
    const auto withHomePage = [&](std::string_view padding, const std::string& rest) {
        return wantedMembersOf(R"({"relleno":[")" + std::string(padding) + rest +
                                   R"(],"homepage":"http://inicio.example"})",
                               kHomePage)
            .has_value();
    };
    for (int byte = 0; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        for (std::size_t offset = 0; offset < 32; ++offset) {
            const std::string padding(offset, 'x');
            if (std::string_view("\"[]{}").find(c) == std::string_view::npos) {
                EXPECT_EQ(withHomePage(padding, "\",1" + std::string(1, c)),
                          kBetween.find(c) != std::string_view::npos)
                    << byte << " " << offset;
            }
            if (c != '"' && c != '\\') {
                EXPECT_EQ(withHomePage(padding, c + std::string("\"")), byte >= 0x20 && byte < 0x80)
                    << byte << " " << offset;
            }
        }
    }
}

// Each file sits in a heap block of its own size and NUL, so that the
// sanitizer stops a read past its end.
std::string exactFile(std::string_view start, std::string_view cut, std::size_t length) {
    std::string text(length, 'a');
    text.replace(0, start.size(), start);
    text.replace(length - cut.size(), cut.size(), cut);
    return text;
}

// The lengths that put a file's end at each offset of a word around a page's
// end, and the length of the file that once ended in a fault.
std::vector<std::size_t> lengthsAroundAPageEnd() {
    std::vector<std::size_t> lengths = {1048543};
    for (std::size_t length = 4096 - 8; length < 4096 + 8; ++length) {
        lengths.push_back(length);
    }
    return lengths;
}

TEST(ProfileFile, CutInsideASequenceIsReadWithinItsBytes) {
    for (const std::string_view cut :
         {"\xC2", "\xE0", "\xE0\xA0", "\xF0", "\xF0\x90\x80", "\xF4", "\\", "\\x4", "\\u00",
          "\\uD800", "\\uD800\\", "\\uD800\\u"}) {
        for (std::size_t length : lengthsAroundAPageEnd()) {
            auto chromium = exactFile(R"({"homepage":")", cut, length);
            ASSERT_EQ(chromium.capacity(), length);
            EXPECT_FALSE(readChromiumPreferences(std::move(chromium), kWritable).error.empty());
            const auto firefox = exactFile(R"(user_pref("browser.newtab.url", ")", cut, length);
            EXPECT_TRUE(readFirefoxPreferences(firefox).found.empty()) << length;
        }
    }
}

TEST(ProfileFile, EscapesUpToItsLastByteAreDecodedInPlace) {
    for (std::size_t length : lengthsAroundAPageEnd()) {
        const auto reading = readChromiumPreferences(
            exactFile(R"({"homepage":"http:\/\/x.example\/)", R"(\u00e9\/"})", length), kWritable);
        ASSERT_EQ(reading.found.size(), 1u);
        EXPECT_TRUE(reading.found.front().text.ends_with(L"a\u00e9/")) << length;
    }
}

// \xNN is a raw byte, \uNNNN a UTF-16 unit written as UTF-8, as Firefox keeps them.
TEST(FirefoxPreferenceFile, GivesEachTextAsTheBytesItsEscapesStandFor) {
    const auto read =
        readFirefoxTextPreferences(R"(user_pref("a\u00E9", '\xE9\u00e9\uD83D\uDE00\"\n');)");
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read.front().name, "a\xC3\xA9");
    EXPECT_EQ(read.front().value, "\xE9\xC3\xA9\xF0\x9F\x98\x80\"\n");
}

// Names are compared as their escapes stand for, whatever the quotes or escapes written.
TEST(FirefoxPreferenceFile, GivesOnlyTheNamesAskedFor) {
    constexpr std::array<std::string_view, 1> kAsked = {"a.b"};
    const auto read = readFirefoxTextPreferences(
        "user_pref(\"a.c\", 'x;y' /* ; */ 1) # c\n;user_pref('a\\x2eb', \"x\");\n"
        "user_pref(\"a.b.c\", 2);user_pref(\"a.b\", /;1);user_pref(\"a\\x2eb\", \"z\");",
        kAsked);
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read.front().value, "x");
    EXPECT_EQ(read.back().value, "z");
}

const std::wstring kProfiles =
    L"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\";
const std::wstring kUserData = L"C:\\Users\\ana\\AppData\\Local\\Google\\Chrome\\User Data\\";
const std::wstring kForeignSearch =
    L"buscador predeterminado: https://buscar.example/?q={searchTerms}";
const std::wstring kExtensionFolder = L"C:\\Users\\ana\\AppData\\Local\\Ofertas\\ext";
const std::wstring kFirefoxProfile =
    L"C:\\Users\\ana\\AppData\\Roaming\\Mozilla\\Firefox\\Profiles\\x1.default\\";

// A profile as a hijacker leaves it: its own settings beside the
// hijacker's, and the integrity codes it wrote to match.
const std::string kHijackedPreferences =
    R"({"browser":{"show_home_button":true},"homepage":"http://inicio.example","homepage_is_newtabpage":false,)"
    R"("default_search_provider_data":{"mirrored_template_url_data":{"url":"https://buscar.example/?q={searchTerms}"},)"
    R"("template_url_data":{"url":"https://buscar.example/?q={searchTerms}"}},"search_provider_overrides":[{"name":"Ofertas"}],)"
    R"("session":{"restore_on_startup":4,"startup_urls":["http://inicio.example"]},"translate":{"enabled":true}})";
const std::string kHijackedSecurePreferences =
    R"({"extensions":{"settings":{"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa":{"location":4,"path":"C:\\Users\\ana\\AppData\\Local\\Ofertas\\ext"},)"
    R"("bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb":{"location":1,"path":"bbbb\\1.0_0"}}},"homepage":"http://inicio.example",)"
    R"("protection":{"macs":{"extensions":{"settings":{"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa":"A1",)"
    R"("bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb":"B2"}},"homepage":"C3","session":{"startup_urls":"D4"}},"super_mac":"E5"}})";
// What the browser then finds: what the hijacker set is gone, so it uses its
// defaults and writes their codes itself; an atomic setting's code stays,
// and so does every other extension with its code.
const std::string kPutBackPreferences =
    R"({"browser":{"show_home_button":true},"default_search_provider_data":{},"session":{},"translate":{"enabled":true}})";
const std::string kPutBackSecurePreferences =
    R"({"extensions":{"settings":{"bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb":{"location":1,"path":"bbbb\\1.0_0"}}},)"
    R"("protection":{"macs":{"extensions":{"settings":{"bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb":"B2"}},"homepage":"C3",)"
    R"("session":{"startup_urls":"D4"}},"super_mac":"E5"}})";

class PreferencesRun : public testing::Test {
  protected:
    void SetUp() override {
        auto& platform = bench.platform;
        platform.registry.addKeysEveryWindowsHas();
        platform.RegWrite(kProfiles + platform.programUserSid + L"\\ProfileImagePath",
                          L"C:\\Users\\ana", RegistryType::String);
        bench.addFiles({{kPreferences, kHijackedPreferences},
                        {kUserData + L"Profile 1\\Secure Preferences", kHijackedSecurePreferences},
                        {kExtensionFolder + L"\\manifest.json", "{}"},
                        {kExtensionFolder + L"\\js\\fondo.js", "anuncios();"}});
        bench.press();  // Internet Explorer alone
        bench.view.repairFindings = true;
    }
    bool hasLine(std::wstring_view part) const {
        return std::ranges::any_of(bench.view.lines, [&](const std::wstring& line) {
            return line.find(part) != std::wstring::npos;
        });
    }

    const std::wstring kPreferences = kUserData + L"Profile 1\\Preferences";
    RepairBench bench;
};

TEST_F(PreferencesRun, AreCountedAndPutBackByTakingOutWhatTheHijackerSet) {
    const auto before = bench.filesBesideTheBackups();
    EXPECT_EQ(bench.check(), RunOutcome::RepairNeeded);
    EXPECT_TRUE(hasLine(L"Google Chrome, perfil Profile 1:"));
    EXPECT_EQ(bench.press(), RunOutcome::Done);
    EXPECT_EQ(bench.bytesOf(kPreferences), kPutBackPreferences);
    EXPECT_EQ(bench.bytesOf(kUserData + L"Profile 1\\Secure Preferences"),
              kPutBackSecurePreferences);
    EXPECT_FALSE(bench.bytesOf(kExtensionFolder + L"\\js\\fondo.js"));
    EXPECT_TRUE(bench.platform.files.exists(kExtensionFolder + L"\\js").error() ==
                std::errc::is_a_directory);
    EXPECT_TRUE(hasLine(L"Preferencia devuelta a la del navegador: Buscador cambiado"));
    EXPECT_EQ(bench.check(), RunOutcome::Done);
    bench.undo();
    EXPECT_EQ(bench.filesBesideTheBackups(), before);
}

TEST_F(PreferencesRun, WhileItsBrowserRunsAreLeftAndTheRunFails) {
    bench.platform.processes = {{L"chrome.exe", L"EQUIPO\\ana"}};
    const auto before = bench.fileContents();
    EXPECT_EQ(bench.press(), RunOutcome::DoneWithFailures);
    ASSERT_EQ(bench.view.confirmations.size(), 1u);
    EXPECT_EQ(bench.view.confirmations.front().lines.at(1), L"Google Chrome");
    EXPECT_EQ(bench.errorLines(),
              std::vector<std::wstring>{L"Error: " + kUserData +
                                        L"Profile 1 (navegador abierto: cierre Google Chrome y "
                                        L"repare de nuevo)"});
    EXPECT_EQ(bench.fileContents(), before);
}

TEST_F(PreferencesRun, LeftOpenWhenAskedAreLeftOnceItCloses) {
    bench.platform.processes = {{L"chrome.exe", L"EQUIPO\\ana"}};
    bench.view.goOn = false;
    bench.view.whileConfirming = [&] { bench.platform.processes.clear(); };
    const auto before = bench.fileContents();
    EXPECT_EQ(bench.press(), RunOutcome::DoneWithFailures);
    EXPECT_EQ(bench.fileContents(), before);
}

TEST_F(PreferencesRun, NotPutBackOffersTheBrowsersOwnResetPageStartedByTheDesktopShell) {
    const std::wstring chrome = L"C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe";
    bench.platform.RegWrite(
        L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\chrome.exe\\", chrome,
        RegistryType::String);
    bench.platform.processes = {{L"chrome.exe", L"EQUIPO\\ana"}};
    bench.view.takeOffers = true;
    bench.press();
    ASSERT_EQ(bench.view.offers.size(), 1u);
    EXPECT_EQ(bench.view.offers.front().lines.front(),
              L"No se pudo reparar el perfil de Google Chrome, perfil Profile 1");
    EXPECT_EQ(
        bench.platform.desktopStarts,
        std::vector<std::wstring>{
            chrome + L" --profile-directory=\"Profile 1\" chrome://settings/resetProfileSettings"});
}

TEST_F(PreferencesRun, OnAManagedMachineAreOnlyReported) {
    bench.platform.machineJoin.domainJoined = true;
    const auto before = bench.fileContents();
    EXPECT_EQ(bench.check(), RunOutcome::Done);
    bench.press();
    EXPECT_EQ(bench.fileContents(), before);
}

TEST_F(PreferencesRun, ProfilesAreThoseLocalStateLists) {
    bench.addFiles(
        {{kUserData + L"Local State", R"({"profile":{"info_cache":{"Trabajo":{"name":"Ana"}}}})"},
         {kUserData + L"Trabajo\\Preferences", R"({"homepage":"http://trabajo.example"})"}});
    bench.check();
    EXPECT_TRUE(hasLine(L"Google Chrome, perfil Trabajo:"));
    EXPECT_FALSE(hasLine(L"Google Chrome, perfil Profile 1:"));
}

TEST_F(PreferencesRun, AnExtensionTheRegistryForcesGoesFromTheProfile) {
    bench.platform.RegWrite(
        L"HKLM\\SOFTWARE\\Google\\Chrome\\Extensions\\bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb\\update_url",
        L"https://ofertas.example/crx", RegistryType::String);
    bench.press();
    EXPECT_EQ(bench.bytesOf(kUserData + L"Profile 1\\Secure Preferences")->find("bbbbbbbb"),
              std::string::npos);
}

struct BrowserCase {
    std::string name;
    std::wstring preferences;  // below the user's profile folder
    std::wstring heading;
};

class EveryBrowser : public PreferencesRun, public testing::WithParamInterface<BrowserCase> {};

// Each browser's profiles are found where it keeps them, under its own name.
TEST_P(EveryBrowser, ProfileIsFoundUnderItsName) {
    bench.addFiles({{L"C:\\Users\\ana\\" + GetParam().preferences,
                     R"({"homepage":"http://inicio.example"})"}});
    bench.check();
    EXPECT_TRUE(hasLine(GetParam().heading + L":")) << GetParam().name;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Browsers, EveryBrowser,
    testing::Values(
        BrowserCase{"Edge", L"AppData\\Local\\Microsoft\\Edge\\User Data\\Default\\Preferences", L"Microsoft Edge, perfil Default"},
        BrowserCase{"Brave", L"AppData\\Local\\BraveSoftware\\Brave-Browser\\User Data\\Default\\Preferences", L"Brave, perfil Default"},
        BrowserCase{"Chromium", L"AppData\\Local\\Chromium\\User Data\\Default\\Secure Preferences", L"Chromium, perfil Default"},
        BrowserCase{"OperaInItsRoot", L"AppData\\Roaming\\Opera Software\\Opera Stable\\Preferences", L"Opera"},
        BrowserCase{"Vivaldi", L"AppData\\Local\\Vivaldi\\User Data\\Default\\Preferences", L"Vivaldi, perfil Default"},
        BrowserCase{"Yandex", L"AppData\\Local\\Yandex\\YandexBrowser\\User Data\\Default\\Preferences", L"Yandex Browser, perfil Default"}),
    [](const testing::TestParamInfo<BrowserCase>& info) { return info.param.name; });
// clang-format on

TEST_F(PreferencesRun, FirefoxStatementsGoFromBothFilesEveryOtherByteKept) {
    const std::string prefs =
        "// Mozilla User Preferences\r\n"
        "user_pref(\"browser.startup.homepage\", \"http://inicio.example\");\r\n"
        "user_pref(\"browser.tabs.warnOnClose\", false);\r\n"
        "user_pref(\"network.proxy.autoconfig_url\", \"http://proxy.example/p.pac\");\r\n"
        "user_pref(\"network.proxy.type\", 2);\r\n";
    const std::string user =
        "user_pref(\"network.proxy.autoconfig_url\", \"http://proxy.example/p.pac\"); "
        "user_pref(\"network.proxy.type\", 2);\n"
        "user_pref(\"browser.startup.homepage\", \"http://inicio.example\");\n";
    bench.addFiles({{kFirefoxProfile + L"prefs.js", prefs}, {kFirefoxProfile + L"user.js", user}});
    EXPECT_EQ(bench.check(), RunOutcome::RepairNeeded);
    bench.press();
    EXPECT_EQ(bench.bytesOf(kFirefoxProfile + L"prefs.js"),
              "// Mozilla User Preferences\r\nuser_pref(\"browser.tabs.warnOnClose\", false);\r\n");
    EXPECT_EQ(bench.bytesOf(kFirefoxProfile + L"user.js"), "");
    EXPECT_EQ(bench.check(), RunOutcome::Done);
}

}  // namespace
}  // namespace tovask::test
