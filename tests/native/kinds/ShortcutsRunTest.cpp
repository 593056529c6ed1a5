#include "repair/paths/ShortcutFolders.h"
#include "repair/shortcuts/ShortcutTexts.h"
#include "tests/native/RepairFixture.h"

namespace tovask::test {
namespace {

constexpr std::wstring_view kShellFolders =
    L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders\\";
constexpr std::wstring_view kProfiles =
    L"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\";
constexpr std::wstring_view kOtherSid = L"S-1-5-21-7-7-7-1001";
constexpr std::wstring_view kChromeExe = L"C:\\Program Files\\Google\\Chrome\\chrome.exe";

const std::wstring kDesktop = L"C:\\Users\\ana\\Escritorio";
const std::wstring kPrograms = L"C:\\Users\\ana\\Datos\\Microsoft\\Windows\\Start Menu\\Programs";
const std::wstring kPinned =
    L"C:\\Users\\ana\\Datos\\Microsoft\\Internet Explorer\\Quick Launch\\User Pinned\\TaskBar";
const std::wstring kPublicDesktop = L"C:\\Users\\Public\\Desktop";

ShortcutContent shortcut(std::wstring_view target, std::wstring_view arguments) {
    const std::wstring program(target);
    return {program, std::wstring(arguments), L"C:\\Users", program, 2, 0x0642, 3, L"Web", L"Ana"};
}

// The desktop user's folders named in that user's hive against the profile
// folder, plus another user's profile whose hive names none; Internet
// Explorer already repaired.
class ShortcutRun : public testing::Test {
  protected:
    void SetUp() override {
        auto& platform = bench.platform;
        platform.registry.addKeysEveryWindowsHas();
        const auto write = [&](const std::wstring& path, std::wstring_view text) {
            platform.RegWrite(path, text, RegistryType::String);
        };
        const auto user = std::wstring(kShellFolders);
        write(std::wstring(kProfiles) + platform.programUserSid + L"\\ProfileImagePath",
              L"C:\\Users\\ana");
        write(std::wstring(kProfiles) + std::wstring(kOtherSid) + L"\\ProfileImagePath",
              L"%SystemRoot%\\..\\Users\\luis");
        write(L"HKCU" + user + L"Desktop", L"%USERPROFILE%\\Escritorio");
        write(L"HKCU" + user + L"AppData", L"%USERPROFILE%\\Datos");
        write(L"HKCU" + user + L"Programs", L"%APPDATA%\\Microsoft\\Windows\\Start Menu\\Programs");
        write(L"HKLM" + user + L"Common Desktop", kPublicDesktop);
        const auto lnk = [](std::wstring_view target, std::wstring_view arguments) {
            return fake::fakeShortcutBytes(shortcut(target, arguments));
        };
        bench.addFiles(
            {{kDesktop + L"\\Google Chrome.lnk",
              lnk(kChromeExe, L"--profile-directory=Default http://buscar.example/?id=7")},
             {kDesktop + L"\\Gmail.lnk", lnk(kChromeExe, L"https://mail.google.com")},
             {kPrograms + L"\\Herramientas\\Correo.lnk",
              lnk(kChromeExe, L"--app=https://correo.example")},
             {kPublicDesktop + L"\\Google Chrome.lnk",
              lnk(L"C:\\Windows\\System32\\cmd.exe", L"/c start http://buscar.example")}});
        bench.press();  // Internet Explorer alone: the window's question is answered no
    }
    // As the command line answers with /shortcuts alone, or with none.
    void useSwitch(bool shortcuts) {
        bench.view.notOffered = {FindingKind::BrowserPolicy, FindingKind::Network};
        if (!shortcuts) {
            bench.view.notOffered.insert(FindingKind::Shortcut);
        }
        bench.view.repairFindings = shortcuts;
    }
    RunOutcome check(bool shortcuts) {
        bench.load();
        useSwitch(shortcuts);
        return bench.check();
    }
    ShortcutContent read(const std::wstring& path) {
        return bench.platform.ReadShortcut(path).value().content;
    }

    RepairBench bench;
};

TEST_F(ShortcutRun, FoldersComeFromEachUsersHiveAndProfile) {
    FailureLog failures(bench.platform);
    const std::vector<std::wstring> hives = {L"HKCU", L"HKU\\Tovask_" + std::wstring(kOtherSid)};
    const std::wstring luis = L"C:\\WINDOWS\\..\\Users\\luis";
    const std::wstring quickLaunch = L"\\Microsoft\\Internet Explorer\\Quick Launch";
    const std::vector<ShortcutFolder> expected = {
        {kDesktop, 0},
        {kPrograms, 4, false, false, ShortcutPlace::StartMenu},
        {L"C:\\Users\\ana\\Datos" + quickLaunch, 0, false, false, ShortcutPlace::Taskbar},
        {kPinned, 0, false, false, ShortcutPlace::Taskbar},
        {L"C:\\Users\\ana\\Datos" + quickLaunch + L"\\User Pinned\\StartMenu", 0, false, false,
         ShortcutPlace::StartMenu},
        {luis + L"\\Desktop", 0},
        {luis + L"\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs", 4, false, false,
         ShortcutPlace::StartMenu},
        {luis + L"\\AppData\\Roaming" + quickLaunch, 0, false, false, ShortcutPlace::Taskbar},
        {luis + L"\\AppData\\Roaming" + quickLaunch + L"\\User Pinned\\TaskBar", 0, false, false,
         ShortcutPlace::Taskbar},
        {luis + L"\\AppData\\Roaming" + quickLaunch + L"\\User Pinned\\StartMenu", 0, false, false,
         ShortcutPlace::StartMenu},
        {kPublicDesktop, 0, true}};
    UserFoldersOfThisRun userFolders(bench.platform, failures);
    EXPECT_EQ(shortcutFolders(bench.platform, hives, userFolders, failures), expected);
    EXPECT_TRUE(failures.entries().empty());
}

TEST_F(ShortcutRun, ListedWithoutTheSwitchRepairedWithItTheCheckAgreesAndTheUndoPutsBack) {
    const auto before = bench.fileContents();
    ASSERT_EQ(check(false), RunOutcome::Done);
    EXPECT_TRUE(anyLineHas(bench.view.lines, texts::kShortcutsNotCounted));
    ASSERT_EQ(check(true), RunOutcome::RepairNeeded);
    EXPECT_TRUE(anyLineHas(bench.view.lines, L"  " + kDesktop + L"\\Gmail.lnk = " +
                                                 std::wstring(texts::kShortcutOpensSitePrefix)));

    useSwitch(true);
    bench.press();
    EXPECT_EQ(read(kDesktop + L"\\Google Chrome.lnk"),
              shortcut(kChromeExe, L"--profile-directory=Default"));
    for (const auto& usersOwn :
         {kPrograms + L"\\Herramientas\\Correo.lnk", kDesktop + L"\\Gmail.lnk"}) {
        EXPECT_EQ(bench.bytesOf(usersOwn), before.at(usersOwn)) << testing::PrintToString(usersOwn);
    }
    EXPECT_TRUE(saysOf(bench.view.lines, texts::kShortcutRepairedPrefix,
                       kDesktop + L"\\Google Chrome.lnk"));
    EXPECT_EQ(check(true), RunOutcome::Done);

    bench.undo();
    for (const auto& [path, bytes] : before) {
        EXPECT_EQ(bench.bytesOf(path), bytes) << testing::PrintToString(path);
    }
}

// A share would be sent the administrator's credentials: such a folder is a
// report-only finding and is never listed, nor is a mapped or removable drive.
TEST_F(ShortcutRun, AFolderOffThisMachineIsReportedAndNeverOpened) {
    const std::wstring share = L"\\\\127.0.0.1\\share\\Desktop";
    bench.platform.RegWrite(L"HKCU" + std::wstring(kShellFolders) + L"Desktop", share,
                            RegistryType::String);
    bench.platform.RegWrite(L"HKCU" + std::wstring(kShellFolders) + L"Programs", L"Z:\\Menu",
                            RegistryType::String);
    bench.platform.notFixedDrives = {L'Z'};
    check(true);
    for (const auto& folder : {share, std::wstring(L"Z:\\Menu")}) {
        EXPECT_TRUE(anyLineHas(bench.view.lines, L"  " + folder +
                                                     L" = carpeta de accesos directos "
                                                     L"en una ruta de red"))
            << testing::PrintToString(bench.view.lines);
        EXPECT_TRUE(std::ranges::none_of(bench.platform.calls, [&](const auto& call) {
            return call.target.starts_with(folder) &&
                   (call.operation == "ListFiles" || call.operation == "ReadShortcut");
        })) << testing::PrintToString(folder);
    }
}

// An organisation places its own shortcuts in the shared folders only.
TEST_F(ShortcutRun, OnAManagedMachineOnlyTheUsersOwnAreRepaired) {
    const auto shared = kPublicDesktop + L"\\Google Chrome.lnk";
    bench.addFiles({{shared, fake::fakeShortcutBytes(shortcut(kChromeExe, L"http://intranet"))}});
    bench.platform.machineJoin.domainJoined = true;
    const auto before = bench.bytesOf(shared);
    useSwitch(true);
    bench.press();
    EXPECT_EQ(read(kDesktop + L"\\Google Chrome.lnk"),
              shortcut(kChromeExe, L"--profile-directory=Default"));
    EXPECT_EQ(bench.bytesOf(shared), before);
    EXPECT_EQ(check(true), RunOutcome::Done);
}

TEST_F(ShortcutRun, AnUnreadableFolderOrShortcutIsAnErrorAndTheOthersGoOn) {
    bench.platform.files.addFile(kDesktop + L"\\Roto.lnk", "no es un acceso directo");
    bench.failExactly("ListFiles", kPrograms, errc(std::errc::permission_denied));
    EXPECT_EQ(check(true), RunOutcome::DoneWithFailures);
    EXPECT_EQ(bench.errorLines().size(), 2u) << testing::PrintToString(bench.view.lines);
    EXPECT_TRUE(anyLineHas(bench.view.lines, L"  " + kDesktop + L"\\Google Chrome.lnk = "));
}

// What the write finds changed or redirected since the check is left as it
// is, with an error line.
class RewriteRefused : public ShortcutRun, public testing::WithParamInterface<std::errc> {};

TEST_P(RewriteRefused, LeavesTheShortcutWithAnErrorLine) {
    const auto chrome = kDesktop + L"\\Google Chrome.lnk";
    const auto before = bench.bytesOf(chrome);
    bench.failExactly("RewriteUnchangedFile", chrome, errc(GetParam()));
    useSwitch(true);
    bench.press();
    EXPECT_EQ(bench.bytesOf(chrome), before);
    ASSERT_EQ(bench.errorLines().size(), 1u);
    EXPECT_TRUE(bench.errorLines()[0].starts_with(errorLineStart(chrome)));
}

INSTANTIATE_TEST_SUITE_P(Errors, RewriteRefused,
                         testing::Values(std::errc::operation_canceled,
                                         std::errc::too_many_symbolic_link_levels),
                         [](const auto& info) {
                             return info.param == std::errc::operation_canceled ? "Changed"
                                                                                : "Redirected";
                         });

}  // namespace
}  // namespace tovask::test
