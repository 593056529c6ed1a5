#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "platform/win32/files/ShortcutFiles.h"
#include "repair/backup/files/Sha256.h"
#include "repair/report/RecordingView.h"
#include "repair/run/BrowserRepair.h"
#include "tests/win32/HostsFolders.h"
#include "tests/win32/QuietPlatform.h"
#include "tests/win32/TestFolder.h"
#include "tests/win32/TestRegistry.h"

namespace tovask {
namespace {

const std::wstring kShellFolders =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
const WORD kHotKey = MAKEWORD('C', HOTKEYF_CONTROL | HOTKEYF_ALT);

// Wine links the Desktop to the Unix home, which no test may write in, nor
// move (Wine would move the home itself): the user's hive names a folder of
// the test as the Desktop instead, for the test's time.
class TestDesktop {
  public:
    explicit TestDesktop(std::wstring folder)
        : folder_(std::move(folder)),
          before_(*testsupport::readValue(HKEY_CURRENT_USER, kShellFolders, L"Desktop")) {
        testsupport::writeStringDirectly(HKEY_CURRENT_USER, kShellFolders, L"Desktop", folder_, 0);
        CreateDirectoryW(folder_.c_str(), nullptr);
    }
    ~TestDesktop() {
        RegSetKeyValueW(HKEY_CURRENT_USER, kShellFolders.c_str(), L"Desktop", before_.type,
                        before_.text.c_str(),
                        static_cast<DWORD>((before_.text.size() + 1) * sizeof(wchar_t)));
    }
    std::wstring path(std::wstring_view name) const { return folder_ + L"\\" + std::wstring(name); }

  private:
    std::wstring folder_;  // removed with the test's own folder
    testsupport::StoredValue before_;
};

// A folder the test makes among the Start menu's programs, a real folder of
// the prefix, and removes with what it holds.
struct StartMenuFolder {
    StartMenuFolder() { std::filesystem::create_directory(path); }
    ~StartMenuFolder() { std::filesystem::remove_all(path); }
    std::wstring file(std::wstring_view name) const { return path + L"\\" + std::wstring(name); }

    const std::wstring path = std::wstring(_wgetenv(L"APPDATA")) +
                              L"\\Microsoft\\Windows\\Start Menu\\Programs\\Tovask prueba";
};

TEST(ShortcutsRun, CheckRepairReadBackUndoPutsTheBytesBack) {
    testsupport::HostsFolders folders;
    testsupport::QuietPlatform platform;
    folders.pointAt(platform);
    const TestDesktop desktop(folders.windows + L"\\Escritorio");
    const StartMenuFolder programs;
    const std::wstring chrome = folders.windows + L"\\chrome.exe";
    const std::wstring firefox = folders.windows + L"\\firefox.exe";
    const auto browser = [&](const std::wstring& target, std::wstring_view arguments) {
        return ShortcutContent{target,  std::wstring(arguments), folders.windows,         target, 1,
                               kHotKey, SW_SHOWNORMAL,           L"Navegar por Internet", L""};
    };
    // Each shortcut with the arguments the repair must leave it.
    const std::map<std::wstring, std::pair<ShortcutContent, std::wstring>> shortcuts = {
        {desktop.path(L"Google Chrome.lnk"),
         {browser(chrome, L"--profile-directory=Default http://buscar.example/?id=7"),
          L"--profile-directory=Default"}},
        {desktop.path(L"Correo.lnk"),
         {browser(chrome, L"--app=https://correo.example"), L"--app=https://correo.example"}},
        {programs.file(L"Firefox.lnk"),
         {browser(firefox, L"-private -url www.buscar.example"), L"-private"}}};
    std::map<std::wstring, std::string> before;
    for (const auto& [path, content] : shortcuts) {
        ASSERT_FALSE(win32::createShortcut(path, content.first));
        before[path] = testsupport::readBytes(path);
    }
    RecordingView view;
    // As the window's Yes, or /shortcuts, answers.
    BrowserRepair repair(platform, view, everyOffered);
    const RunRequest request{L"", false, {FindingKind::Shortcut}};
    repair.loadPaths();

    EXPECT_EQ(repair.checkWhatNeedsRepair(request), RunOutcome::RepairNeeded);
    repair.VerificarNavegador(L"IEFrame", request);
    for (const auto& [path, content] : shortcuts) {
        const auto read = win32::readShortcut(path);
        ASSERT_TRUE(read.ok()) << read.error().message();
        auto expected = content.first;
        expected.arguments = content.second;
        // Target, icon, working folder, hot key and description kept.
        EXPECT_TRUE(read.value().content == expected) << testing::PrintToString(path);
    }
    repair.undoChanges();
    // Where the system keeps no access list, the undo cannot show the backup
    // folder to be private and refuses it: the copies are compared instead.
    for (const auto& [path, bytes] : before) {
        const auto hash = sha256Hex(bytes);
        const auto copy = folders.system + L"\\drivers\\etc\\TovaskCopias\\" +
                          std::wstring(hash.begin(), hash.end()) + L".copia";
        const bool copied = shortcuts.at(path).first.arguments != shortcuts.at(path).second;
        EXPECT_EQ(
            testsupport::readBytes(copied && !testsupport::systemKeepsAccessLists() ? copy : path),
            bytes)
            << testing::PrintToString(path);
    }
}

}  // namespace
}  // namespace tovask
