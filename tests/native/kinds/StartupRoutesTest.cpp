#include <gtest/gtest.h>

#include "repair/startup/ActiveSetupEntries.h"
#include "repair/startup/StartupFolderEntries.h"
#include "repair/startup/WinlogonEntries.h"
#include "repair/users/UserHives.h"
#include "tests/native/RepairFixture.h"
#include "text/RegistryEncoding.h"
#include "text/Utf16.h"

namespace tovask::test {
namespace {

constexpr std::wstring_view kWinlogon =
    L"\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\";
constexpr std::wstring_view kComponent =
    L"HKLM\\SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\{6A7F0C1E}\\";
const std::wstring kWindowsUserinit = L"C:\\WINDOWS\\system32\\userinit.exe,";
const std::wstring kCommonStartup =
    L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp";

RegistryValue expandString(std::wstring_view text) {
    return {regtype::kExpandString, stringValue(text).bytes};
}

struct WinlogonCase {
    std::string name;
    std::wstring hive;
    std::wstring valueName;
    RegistryValue value;
    RegistryView view;
    bool finding;

    friend void PrintTo(const WinlogonCase& c, std::ostream* out) { *out << c.name; }
};

class WinlogonValues : public testing::TestWithParam<WinlogonCase> {};

// A 64-bit Windows in C:\WINDOWS, the user's own hive covered.
TEST_P(WinlogonValues, AreFindingsWhenTheyStartMoreThanWindowssOwnProgram) {
    const auto& row = GetParam();
    fake::FakePlatform platform;
    platform.registry.twoViews = true;
    ASSERT_FALSE(platform.RegWriteRaw(row.hive + std::wstring(kWinlogon), row.valueName, row.value,
                                      row.view));
    FailureLog failures(platform);
    const std::vector<std::wstring> users{L"HKCU"};
    EXPECT_EQ(findWinlogonEntries(platform, users, false, failures).size(), row.finding ? 1u : 0u);
    EXPECT_TRUE(failures.entries().empty());
}

constexpr auto k64 = RegistryView::Bits64;
constexpr auto kUser = RegistryView::Default;

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Values, WinlogonValues,
    testing::Values(
        WinlogonCase{"WindowsUserinit", L"HKLM", L"Userinit", stringValue(kWindowsUserinit), k64, false},
        WinlogonCase{"UserinitQuotedWithoutComma", L"HKLM", L"Userinit", stringValue(LR"("c:\windows\System32\USERINIT.EXE")"), k64, false},
        WinlogonCase{"UserinitByName", L"HKLM", L"Userinit", stringValue(L"userinit.exe"), k64, false},
        WinlogonCase{"UserinitStartsAnother", L"HKLM", L"Userinit", stringValue(kWindowsUserinit + LR"(C:\Users\ana\AppData\Roaming\svc.exe,)"), k64, true},
        WinlogonCase{"UserinitReplaced", L"HKLM", L"Userinit", stringValue(LR"(C:\ProgramData\userinit.exe)"), k64, true},
        WinlogonCase{"UserinitIn32BitView", L"HKLM", L"Userinit", stringValue(kWindowsUserinit + L"wscript a.vbs"), RegistryView::Bits32, true},
        WinlogonCase{"UserinitHuge", L"HKLM", L"Userinit", stringValue(kWindowsUserinit + std::wstring(100000, L'a')), k64, true},
        WinlogonCase{"UserinitEmpty", L"HKLM", L"Userinit", stringValue(L""), k64, false},
        WinlogonCase{"UserinitNumber", L"HKLM", L"Userinit", dwordValue(1), k64, false},
        WinlogonCase{"Missing", L"HKLM", L"AutoRestartShell", dwordValue(1), k64, false},
        WinlogonCase{"MachinesShellLeftToInternetExplorer", L"HKLM", L"Shell", stringValue(L"malo.exe"), k64, false},
        WinlogonCase{"UsersShellExplorer", L"HKCU", L"Shell", stringValue(L"explorer.exe"), kUser, false},
        WinlogonCase{"UsersShellInWindowsFolder", L"HKCU", L"Shell", stringValue(LR"(C:\WINDOWS\Explorer.exe)"), kUser, false},
        WinlogonCase{"UsersShellStartsAnother", L"HKCU", L"Shell", stringValue(LR"(explorer.exe, C:\Users\Public\x.exe)"), kUser, true},
        WinlogonCase{"UsersUserinitUnread", L"HKCU", L"Userinit", stringValue(LR"(C:\Users\ana\x.exe)"), kUser, false}),
    [](const testing::TestParamInfo<WinlogonCase>& info) { return info.param.name; });
// clang-format on

struct ComponentCase {
    std::string name;
    std::wstring valueName;
    RegistryValue value;
    RegistryView view;
    bool finding;

    friend void PrintTo(const ComponentCase& c, std::ostream* out) { *out << c.name; }
};

class ActiveSetupComponents : public testing::TestWithParam<ComponentCase> {};

// A 64-bit Windows in C:\WINDOWS with Ana's profile.
TEST_P(ActiveSetupComponents, AreFindingsWhenTheyRunAScriptOrAProgramUsersWrite) {
    const auto& row = GetParam();
    fake::FakePlatform platform;
    platform.registry.twoViews = true;
    platform.RegWrite(std::wstring(kProfileListKey) + L"S-1-5-21-1-2-3-1001\\ProfileImagePath",
                      L"C:\\Users\\ana", RegistryType::String);
    ASSERT_FALSE(platform.RegWriteRaw(kComponent, row.valueName, row.value, row.view));
    FailureLog failures(platform);
    EXPECT_EQ(findActiveSetupHijacks(platform, false, {}, failures).size(), row.finding ? 1u : 0u);
    EXPECT_TRUE(failures.entries().empty());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Components, ActiveSetupComponents,
    testing::Values(
        ComponentCase{"WindowsRundll32", L"StubPath", stringValue(LR"("C:\Windows\System32\rundll32.exe" "C:\Windows\System32\iesetup.dll",IEHardenUser)"), k64, false},
        ComponentCase{"WindowsExpanded", L"StubPath", expandString(LR"(%SystemRoot%\system32\unregmp2.exe /FirstLogon)"), k64, false},
        ComponentCase{"BrowserSetupInProgramFiles", L"StubPath", stringValue(LR"("C:\Program Files (x86)\Microsoft\Edge\Application\120.0\Installer\setup.exe" --configure-user-settings --system-level)"), k64, false},
        ComponentCase{"PowerShell", L"StubPath", stringValue(LR"(powershell -w hidden -c "Set-ItemProperty HKCU:\x y 1")"), k64, true},
        ComponentCase{"WscriptIn32BitView", L"StubPath", stringValue(LR"(wscript.exe //B C:\Windows\x.vbs)"), RegistryView::Bits32, true},
        ComponentCase{"CmdRunsBatch", L"StubPath", stringValue(LR"(cmd /c "C:\Program Files\Vendor\a.bat")"), k64, true},
        ComponentCase{"CmdCopies", L"StubPath", stringValue(LR"(cmd.exe /c copy C:\a C:\b)"), k64, false},
        ComponentCase{"Rundll32RunsHtmlScript", L"StubPath", stringValue(LR"(rundll32.exe javascript:"\..\mshtml,RunHTMLApplication ";eval(x))"), k64, true},
        ComponentCase{"ProgramInAProfile", L"StubPath", stringValue(LR"(C:\Users\ana\AppData\Local\Upd\upd.exe /s)"), k64, true},
        ComponentCase{"ProgramInWindowsTemp", L"StubPath", expandString(LR"(%SystemRoot%\Temp\u.exe)"), k64, true},
        ComponentCase{"BrowserOpensAddress", L"StubPath", stringValue(LR"("C:\Program Files\Google\Chrome\Application\chrome.exe" https://buscar.example)"), k64, true},
        ComponentCase{"Empty", L"StubPath", stringValue(L""), k64, false},
        ComponentCase{"Number", L"StubPath", dwordValue(1), k64, false},
        ComponentCase{"Huge", L"StubPath", stringValue(LR"(C:\Windows\System32\a.exe )" + std::wstring(200000, L'a')), k64, false},
        ComponentCase{"NoStubPath", L"Version", stringValue(L"1,0"), k64, false}),
    [](const testing::TestParamInfo<ComponentCase>& info) { return info.param.name; });
// clang-format on

struct StartupFileCase {
    std::string name;
    std::wstring fileName;
    std::string bytes;
    bool finding;

    friend void PrintTo(const StartupFileCase& c, std::ostream* out) { *out << c.name; }
};

// The common Startup folder on a disk of this machine.
class StartupFolder : public testing::Test {
  protected:
    void SetUp() override {
        platform.RegWrite(
            L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
            L"User Shell Folders\\Common Startup",
            kCommonStartup, RegistryType::String);
    }
    std::size_t found() {
        UserFoldersOfThisRun userFolders(platform, failures);
        return findStartupFiles(platform, {}, userFolders, false, {}, failures).size();
    }

    fake::FakePlatform platform;
    FailureLog failures{platform};
};

class InternetShortcuts : public StartupFolder,
                          public testing::WithParamInterface<StartupFileCase> {};

TEST_P(InternetShortcuts, AreFindingsWhenTheyOpenTheWebOrAHijackingProgram) {
    platform.files.addFile(kCommonStartup + L"\\" + GetParam().fileName, GetParam().bytes);
    EXPECT_EQ(found(), GetParam().finding ? 1u : 0u);
    EXPECT_TRUE(failures.entries().empty());
}

const std::string kShortcutSection = "[InternetShortcut]\r\n";

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Files, InternetShortcuts,
    testing::Values(
        StartupFileCase{"WebAddress", L"Noticias.url", kShortcutSection + "URL=https://noticias.example/\r\n", true},
        StartupFileCase{"NamesInAnyCaseAndBlanks", L"a.URL", "[internetshortcut]\n  url = http://a.example\n", true},
        StartupFileCase{"Utf16", L"a.url", "\xFF\xFE" + toUtf16LeBytes(L"[InternetShortcut]\r\nURL=https://a.example\r\n"), true},
        StartupFileCase{"JunkAround", L"a.url", "\x80\xC0[x]\r\n\xFE\r\n" + kShortcutSection + "URL=https://a.example\r\n\xC3", true},
        StartupFileCase{"FileAddressOfAUsersScript", L"a.url", kShortcutSection + "URL=file:///C:/Users/ana/AppData/Roaming/a.vbs\r\n", true},
        StartupFileCase{"FileAddressOfAProgram", L"a.url", kShortcutSection + "URL=file:///C:/Program%20Files/Audio/audio.exe\r\n", false},
        StartupFileCase{"AddressInAnotherSection", L"a.url", "[DEFAULT]\r\nURL=https://a.example\r\n" + kShortcutSection, false},
        StartupFileCase{"NoAddress", L"a.url", kShortcutSection + "IconIndex=0\r\n", false},
        StartupFileCase{"OddUtf16", L"a.url", "\xFF\xFE" "abc", false},
        StartupFileCase{"Empty", L"a.url", "", false}),
    [](const testing::TestParamInfo<StartupFileCase>& info) { return info.param.name; });
// clang-format on

TEST_F(StartupFolder, AnInternetShortcutTooLargeIsAFailureAndTheRestGoesOn) {
    platform.files.addFile(kCommonStartup + L"\\Grande.url",
                           kShortcutSection + "URL=https://a.example/" + std::string(70000, 'a'));
    platform.files.addFile(kCommonStartup + L"\\Noticias.url",
                           kShortcutSection + "URL=https://noticias.example/");
    EXPECT_EQ(found(), 1u);
    EXPECT_EQ(failures.entries().size(), 1u);
}

TEST(StartupRoutes, AreReportOnlyOnAManagedMachine) {
    fake::FakePlatform platform;
    platform.RegWrite(L"HKLM" + std::wstring(kWinlogon) + L"Userinit",
                      kWindowsUserinit + L"C:\\x.exe", RegistryType::String);
    platform.RegWrite(std::wstring(kComponent) + L"StubPath", L"mshta http://a.example",
                      RegistryType::String);
    FailureLog failures(platform);
    const auto winlogon = findWinlogonEntries(platform, {}, true, failures);
    const auto components = findActiveSetupHijacks(platform, true, {}, failures);
    ASSERT_EQ(winlogon.size(), 1u);
    ASSERT_EQ(components.size(), 1u);
    EXPECT_FALSE(winlogon[0].finding.repairable || components[0].finding.repairable);
}

// A 64-bit Windows whose new start-up places each hold a hijack, some beside
// a legitimate entry.
TEST(StartupRoutes, AreRemovedWithConsentTheCheckAgreesAndTheUndoPutsThemBack) {
    RepairBench bench;
    auto& platform = bench.platform;
    platform.registry.twoViews = true;
    platform.registry.addKeysEveryWindowsHas();
    const std::wstring machine = L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\";
    const std::wstring user = L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\";
    const auto machineWinlogon = L"HKLM" + std::wstring(kWinlogon);
    platform.RegWrite(machine + L"Policies\\Explorer\\Run\\Ofertas", L"mshta http://a.example",
                      RegistryType::String);
    platform.RegWrite(machine + L"Policies\\Explorer\\Run\\Audio",
                      L"\"C:\\Program Files\\Audio\\audio.exe\" /tray", RegistryType::String);
    platform.RegWrite(user + L"RunServices\\Inicio", L"chrome.exe https://buscar.example",
                      RegistryType::String);
    ASSERT_FALSE(platform.RegWriteRaw(machineWinlogon, L"Userinit",
                                      expandString(kWindowsUserinit + L"C:\\x\\svc.exe"),
                                      RegistryView::Bits32));
    ASSERT_FALSE(platform.RegWriteRaw(machineWinlogon, L"Userinit", stringValue(kWindowsUserinit),
                                      RegistryView::Bits64));
    platform.RegWrite(L"HKCU" + std::wstring(kWinlogon) + L"Shell", L"C:\\Users\\ana\\k.exe",
                      RegistryType::String);
    platform.RegWrite(std::wstring(kComponent) + L"StubPath", L"wscript C:\\Windows\\a.vbs",
                      RegistryType::String);
    platform.RegWrite(std::wstring(kComponent) + L"Version", L"1,0", RegistryType::String);
    platform.RegWrite(
        L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
        L"User Shell Folders\\Common Startup",
        kCommonStartup, RegistryType::String);
    bench.addFiles({{kCommonStartup + L"\\Noticias.url",
                     kShortcutSection + "URL=https://noticias.example/\r\n"}});
    bench.view.repairFindings = true;
    const auto registryBefore = platform.registry.snapshot();
    const auto filesBefore = bench.filesBesideTheBackups();

    ASSERT_EQ(bench.check(), RunOutcome::RepairNeeded);
    // The component is in both views.
    EXPECT_EQ(bench.view.questions.back().size(), 7u)
        << testing::PrintToString(bench.view.questions.back());
    bench.press();
    EXPECT_TRUE(bench.errorLines().empty()) << testing::PrintToString(bench.view.lines);
    EXPECT_EQ(platform.RegReadValue(machineWinlogon + L"Userinit", RegistryView::Bits32).value(),
              stringValue(kWindowsUserinit));
    EXPECT_FALSE(platform.RegKeyExists(std::wstring(kComponent), RegistryView::Bits64).value());
    EXPECT_TRUE(platform.registry.value(machine + L"Policies\\Explorer\\Run\\Audio"));
    bench.view.repairFindings = false;
    EXPECT_EQ(bench.check(), RunOutcome::Done);
    bench.undo();
    EXPECT_EQ(platform.registry.snapshot(), registryBefore);
    EXPECT_EQ(bench.filesBesideTheBackups(), filesBefore);
}

}  // namespace
}  // namespace tovask::test
