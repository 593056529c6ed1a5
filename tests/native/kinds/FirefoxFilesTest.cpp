#include "repair/backup/files/FileBackup.h"
#include "repair/policies/DistributionIni.h"
#include "repair/policies/FirefoxFiles.h"
#include "tests/native/RepairFixture.h"
#include "text/RegistryEncoding.h"
#include "text/Utf16.h"

namespace tovask::test {
namespace {

constexpr std::wstring_view kInstalls = L"HKLM\\SOFTWARE\\Mozilla\\Mozilla Firefox\\";
constexpr std::wstring_view kProgramFolder =
    L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ProgramFilesDir";
const std::wstring kInstalled = L"D:\\Navegadores\\Firefox";
const std::wstring kPolicyFile = kInstalled + L"\\distribution\\policies.json";
const std::wstring kProgramPolicyFile =
    L"C:\\Program Files\\Mozilla Firefox\\distribution\\policies.json";
constexpr std::string_view kLockedFile =
    "{\"policies\": {\"DisableTelemetry\": true, \"Homepage\": {\"URL\": \"http://x.example\"},\n"
    "  \"Extensions\": {\"Install\": [\"https://malo.example/a.xpi\"], \"Uninstall\": [\"b@c\"]}}}";
constexpr std::string_view kRepairedFile =
    "{\n  \"policies\": {\n    \"DisableTelemetry\": true,\n    \"Extensions\": {\n"
    "      \"Uninstall\": [\n        \"b@c\"\n      ]\n    }\n  }\n}\n";

const std::wstring kIni = kInstalled + L"\\distribution\\distribution.ini";
const std::string kIniBytes =
    "[Global]\r\nid=acme\r\nversion=1\r\n[Preferences]\r\n"
    "browser.startup.homepage=\"http://x.example\"\r\na=1\r\nb=2\r\nc=3\r\n";
const std::wstring kExtensions = kInstalled + L"\\distribution\\extensions\\";
const std::wstring kSideloaded = kExtensions + L"malo@x.example.xpi";
const std::wstring kScript = kInstalled + L"\\defaults\\pref\\autoconfig.js";
const std::wstring kConfig = kInstalled + L"\\mozilla.cfg";
constexpr std::string_view kScriptBytes = "pref(\"general.config.filename\", \"mozilla.cfg\");";

class FirefoxFiles : public testing::Test {
  protected:
    void SetUp() override {
        bench.platform.registry.twoViews = true;
        bench.platform.registry.addKeysEveryWindowsHas();
        seedInstall(L"115.0 (x64 es-ES)", kInstalled + L"\\");
        bench.platform.files.addFile(kPolicyFile, kLockedFile);
        bench.view.repairFindings = true;
    }
    void seedInstall(std::wstring_view version, std::wstring_view folder) {
        ASSERT_FALSE(bench.platform.RegWrite(
            std::wstring(kInstalls) + std::wstring(version) + L"\\Main\\Install Directory", folder,
            RegistryType::String));
    }
    RunOutcome check() {
        bench.load();
        return bench.check();
    }

    RepairBench bench;
};

TEST_F(FirefoxFiles, InstallFoldersFromBothViewsAndProgramFoldersEachOnce) {
    seedInstall(L"116.0", L"d:\\navegadores\\firefox");
    ASSERT_FALSE(bench.platform.RegWriteRaw(L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\",
                                            L"ProgramFilesDir", stringValue(L"C:\\Program Files"),
                                            RegistryView::Bits64));
    ASSERT_FALSE(bench.platform.RegWriteRaw(
        L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\", L"ProgramFilesDir",
        stringValue(L"C:\\Program Files (x86)"), RegistryView::Bits32));
    FailureLog failures(bench.platform);
    EXPECT_EQ(firefoxInstallFolders(bench.platform, failures),
              (std::vector<std::wstring>{kInstalled, L"C:\\Program Files (x86)\\Mozilla Firefox",
                                         L"C:\\Program Files\\Mozilla Firefox"}));
}

TEST_F(FirefoxFiles, RepairKeepsOtherPoliciesAndTheUndoPutsTheFileBackByteForByte) {
    bench.platform.files.protect(kPolicyFile, "hardened");
    ASSERT_EQ(check(), RunOutcome::RepairNeeded);
    bench.press();
    EXPECT_EQ(bench.bytesOf(kPolicyFile), std::string(kRepairedFile));
    EXPECT_EQ(bench.platform.files.file(kPolicyFile)->protection, "hardened");
    EXPECT_TRUE(saysOf(bench.view.lines, L"Bloqueo quitado: ", kPolicyFile + L"\\Homepage"));
    EXPECT_EQ(check(), RunOutcome::Done);

    bench.undo();
    EXPECT_EQ(bench.bytesOf(kPolicyFile), std::string(kLockedFile));
    EXPECT_EQ(bench.platform.files.file(kPolicyFile)->protection, "hardened");
}

TEST_F(FirefoxFiles, FileThatIsNotJsonIsAnErrorAndTheOtherFileIsStillRepaired) {
    ASSERT_FALSE(bench.platform.RegWrite(std::wstring(kProgramFolder), L"C:\\Program Files",
                                         RegistryType::String));
    bench.platform.files.addFile(kProgramPolicyFile, "{\"policies\": {\"Proxy\": ");
    bench.press();
    EXPECT_TRUE(anyLineHas(bench.view.lines, L"Error: " + kProgramPolicyFile));
    EXPECT_EQ(bench.bytesOf(kPolicyFile), std::string(kRepairedFile));
}

TEST_F(FirefoxFiles, RefusedBackupFolderLeavesTheFileAndWritesNoCopy) {
    bench.platform.files.giveForeignOwner(L"C:\\WINDOWS\\system32\\drivers\\etc\\TovaskCopias");
    const auto before = bench.fileContents();
    bench.press();
    EXPECT_EQ(bench.fileContents(), before);  // neither a copy nor a change
    EXPECT_TRUE(saysOf(bench.view.lines, L"No se pudo quitar el bloqueo: ", kPolicyFile));
    EXPECT_TRUE(anyLineHas(bench.view.lines, L"TovaskCopias (la carpeta de copias"));
}

TEST_F(FirefoxFiles, IsOnlyReportedOnAManagedMachine) {
    bench.platform.machineJoin.cloudJoined = true;
    bench.addFiles({{kIni, kIniBytes}});
    bench.press();
    EXPECT_EQ(bench.bytesOf(kPolicyFile), std::string(kLockedFile));
    EXPECT_EQ(bench.bytesOf(kIni), kIniBytes);
    EXPECT_TRUE(anyLineHas(bench.view.lines, kPolicyFile + L"\\Homepage = "));
    EXPECT_TRUE(anyLineHas(bench.view.lines,
                           kIni + L" = preferencias que Firefox vuelve a poner al iniciar: "
                                  L"browser.startup.homepage=\"http://x.example\", a=1, b=2 y "
                                  L"otras 1"));
}

struct IniCase {
    std::string name;
    std::string bytes;
    std::wstring id;
    std::vector<std::wstring> preferences;
};

class DistributionIniReading : public testing::TestWithParam<IniCase> {};

TEST_P(DistributionIniReading, FindsWhatFirefoxWritesIntoItsPreferences) {
    const auto ini = readDistributionIni(GetParam().bytes);
    EXPECT_EQ(ini.id, GetParam().id);
    EXPECT_EQ(ini.preferences, GetParam().preferences);
}

INSTANTIATE_TEST_SUITE_P(
    Files, DistributionIniReading,
    testing::Values(
        IniCase{"PreferencesThatLetAddOnsIn",
                "[Global]\nid=acme\n[Preferences]\nextensions.autoDisableScopes=0\n",
                L"acme",
                {L"extensions.autoDisableScopes=0"}},
        IniCase{"LocalizablePreferencesOfALanguage",
                "[LocalizablePreferences-es]\r\nbrowser.startup.homepage=http://x.example\r\n",
                L"",
                {L"browser.startup.homepage=http://x.example"}},
        IniCase{"OnlyGlobal", "[Global]\nid=acme\nversion=1.0\nabout=Acme\n", L"acme", {}},
        IniCase{"MalformedLinesAndHeadingsAreSkipped",
                "a=1\n[Preferences] x\nb=2\n[preferences]\nc=3\n[Preferences]\n;d=4\ne\nf=\n",
                L"",
                {}},
        IniCase{"BlanksAndLeadingEqualsAsFirefoxReadsThem",
                "\xEF\xBB\xBF[Preferences\n \t==a=b=c\n",
                L"",
                {L"a=b=c"}},
        IniCase{"Utf16WithItsMark",
                "\xFF\xFE" + toUtf16LeBytes(L"[Preferences]\r\nañ=1\r\n") + std::string(1, '\0'),
                L"",
                {L"añ=1"}},
        IniCase{"BrokenUtf8", "[Preferences]\na=\xFF\n", L"", {L"a=\uFFFD"}}),
    [](const testing::TestParamInfo<IniCase>& info) { return info.param.name; });

struct PathCase {
    std::wstring path;
    bool owned;
};

class PolicyFilePaths : public testing::TestWithParam<PathCase> {};

TEST_P(PolicyFilePaths, AreTheInstallationFilesTheRepairChanges) {
    EXPECT_EQ(isPolicyFilePath(GetParam().path), GetParam().owned);
}

const PathCase kPolicyFilePaths[] = {
    {L"C:\\F\\distribution\\policies.json", true},
    {L"C:\\F\\DISTRIBUTION\\Distribution.INI", true},
    {L"C:\\F\\distribution\\extensions\\a@b.xpi", true},
    {L"C:\\F\\defaults\\pref\\autoconfig.js", true},
    {L"C:\\F\\mozilla.cfg", true},
    {L"C:\\F\\distribution\\extensions\\.xpi", false},
    {L"C:\\F\\distribution\\a.xpi", false},
    {L"C:\\F\\defaults\\pref\\sub\\a.js", false},
    {L"\\distribution\\policies.json", false},
};
INSTANTIATE_TEST_SUITE_P(Files, PolicyFilePaths, testing::ValuesIn(kPolicyFilePaths));

// A name Firefox cannot load from its folder, or a file that is not there,
// or one an earlier script took: the script goes alone.
struct PairCase {
    std::string name;
    std::string named;
    bool paired;
};

class AutoconfigPair : public FirefoxFiles, public testing::WithParamInterface<PairCase> {};

TEST_P(AutoconfigPair, HoldsTheScriptAndTheFileItHandsFirefox) {
    const auto later = kInstalled + L"\\defaults\\pref\\later.js";
    bench.addFiles({{kScript, "pref(\"general.config.filename\", \"taken.cfg\");"},
                    {later, "pref(\"general.config.filename\", \"" + GetParam().named + "\");"},
                    {kInstalled + L"\\taken.cfg", "x"},
                    {kConfig, "x"},
                    {kInstalled + L"\\mozilla.js", "x"}});
    FailureLog failures(bench.platform);
    const auto files = findInstallFiles(bench.platform, std::span(&kInstalled, 1), true, failures);
    ASSERT_EQ(files.size(), 2u);
    const auto expected = GetParam().paired ? std::vector{later, kConfig} : std::vector{later};
    EXPECT_EQ(files[1].paths, expected);
}

INSTANTIATE_TEST_SUITE_P(Files, AutoconfigPair,
                         testing::Values(PairCase{"Present", "mozilla.cfg", true},
                                         PairCase{"Missing", "otro.cfg", false},
                                         PairCase{"InAnotherFolder", "..\\F\\mozilla.cfg", false},
                                         PairCase{"NotACfg", "mozilla.js", false},
                                         PairCase{"TakenByAnEarlierScript", "taken.cfg", false}),
                         [](const testing::TestParamInfo<PairCase>& info) {
                             return info.param.name;
                         });

TEST_F(FirefoxFiles, AFloodOfExtensionsIsListedInPartWithAnError) {
    for (int i = 0; i < 150; ++i) {
        bench.platform.files.addFile(kExtensions + std::to_wstring(i) + L".xpi", "PK");
    }
    FailureLog failures(bench.platform);
    EXPECT_EQ(findInstallFiles(bench.platform, std::span(&kInstalled, 1), true, failures).size(),
              100u);
    ASSERT_EQ(failures.entries().size(), 1u);
    EXPECT_EQ(failures.entries()[0].target + L"\\", kExtensions);
}

TEST_F(FirefoxFiles, RepairMovesEachFileToTheBackupsAndTheUndoPutsThemBackByteForByte) {
    const std::vector<SeededFile> seeded = {{kIni, kIniBytes},
                                            {kSideloaded, "PK\x03\x04"},
                                            {kScript, std::string(kScriptBytes)},
                                            {kConfig, "lockPref(\"a\", 1);", fake::kReadOnly}};
    bench.addFiles(seeded);
    ASSERT_EQ(check(), RunOutcome::RepairNeeded);
    bench.press();
    for (const auto& file : seeded) {
        EXPECT_FALSE(bench.bytesOf(file.path).has_value()) << testing::PrintToString(file.path);
    }
    EXPECT_TRUE(saysOf(bench.view.lines,
                       L"Bloqueo quitado: Archivo de distribución «acme» que impone "
                       L"browser.startup.homepage=\"http://x.example\"",
                       kIni));
    EXPECT_TRUE(saysOf(bench.view.lines,
                       L"Bloqueo quitado: Configuración automática que puede bloquear "
                       L"preferencias: mozilla.cfg",
                       kScript));
    EXPECT_EQ(check(), RunOutcome::Done);

    bench.undo();
    for (const auto& file : seeded) {
        EXPECT_EQ(bench.bytesOf(file.path), file.bytes) << testing::PrintToString(file.path);
    }
}

// A file reached through a link, one that cannot be read, and one too large
// to back up whole: each stays with an error, and the others go.
TEST_F(FirefoxFiles, EachBadFileSkipsOnlyItselfWithAnError) {
    const auto large = kExtensions + L"grande@x.example.xpi";
    const std::string largeBytes(kMaxBackedUpFileBytes + 1, 'x');
    bench.addFiles({{L"C:\\Otro\\distribution.ini", kIniBytes},
                    {kScript, std::string(kScriptBytes)},
                    {large, largeBytes},
                    {kSideloaded, "PK"}});
    bench.platform.files.addLink(kIni, L"C:\\Otro\\distribution.ini");
    bench.platform.failWhere("ReadFileContent", kScript, errc(std::errc::permission_denied));
    bench.press();
    EXPECT_EQ(bench.bytesOf(L"C:\\Otro\\distribution.ini"), kIniBytes);
    EXPECT_TRUE(reportsFailureOf(bench.view.lines, kIni));
    EXPECT_TRUE(reportsFailureOf(bench.view.lines, kScript));
    EXPECT_EQ(bench.bytesOf(large), largeBytes);
    EXPECT_TRUE(saysOf(bench.view.lines, L"No se pudo quitar el bloqueo: ", large));
    EXPECT_TRUE(
        anyLineHas(bench.view.lines, L"Error: " + large + L" (el archivo ocupa más de 32 MiB"));
    EXPECT_FALSE(bench.bytesOf(kSideloaded).has_value());
}

}  // namespace
}  // namespace tovask::test
