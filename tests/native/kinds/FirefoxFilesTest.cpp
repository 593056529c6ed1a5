#include "repair/policies/FirefoxFiles.h"
#include "tests/native/RepairFixture.h"
#include "text/RegistryEncoding.h"

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
    bench.press();
    EXPECT_EQ(bench.bytesOf(kPolicyFile), std::string(kLockedFile));
    EXPECT_TRUE(anyLineHas(bench.view.lines, kPolicyFile + L"\\Homepage = "));
}

TEST_F(FirefoxFiles, AutoconfigScriptIsReportedOnlyAndNeverCounts) {
    bench.platform.files.addFile(kPolicyFile, "{\"policies\": {\"DisableTelemetry\": true}}");
    const auto script = kInstalled + L"\\defaults\\pref\\autoconfig.js";
    bench.platform.files.addFile(script, "pref(\"general.config.filename\", \"mozilla.cfg\");");
    bench.press();
    EXPECT_TRUE(bench.platform.files.file(script).has_value());
    EXPECT_EQ(check(), RunOutcome::Done);
    EXPECT_TRUE(anyLineHas(bench.view.lines, script + L" = configuración automática que puede "
                                                      L"bloquear preferencias: mozilla.cfg"));
}

}  // namespace
}  // namespace tovask::test
